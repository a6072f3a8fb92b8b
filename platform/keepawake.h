#pragma once

#include <QString>

#include <memory>

// Keeps the system and the display from sleeping while it is on; off gives
// the system its normal sleep behaviour back.
class KeepAwake
{
public:
    virtual ~KeepAwake() = default;
    virtual void setOn(bool on) = 0;

    // The platform's own: SetThreadExecutionState on Windows, an inhibitor
    // of the login manager and the screen saver on D-Bus elsewhere. `who`
    // and `why` are what the system shows about the inhibitor.
    static std::unique_ptr<KeepAwake> create(const QString& who, const QString& why);
};
