#pragma once

#include <QObject>

// Turns the system's polite requests to end the process (SIGTERM, SIGINT and
// SIGHUP on Linux) into a signal on the GUI thread, so that the player closes
// the way it does when the user quits. Windows sends such requests as window
// messages; there it never fires.
class TerminationRequest : public QObject
{
    Q_OBJECT
public:
    explicit TerminationRequest(QObject* parent = nullptr);
    ~TerminationRequest() override;

    // Whether a request came, even while no event loop ran to deliver it.
    bool received() const;

signals:
    void requested();
};
