#pragma once

#include <QObject>
#include <QString>

// Entry and exit hooks called with the signature of the method they trace.
// Tracing is switched off in this build: both hooks do nothing and no
// call-log file is written.
class CallLogger : public QObject
{
    Q_OBJECT
public:
    static CallLogger* instance();

    void enter(const char* signature) { Q_UNUSED(signature) }
    void leave(const char* signature) { Q_UNUSED(signature) }

    QString folder() const { return m_folder; }

private:
    CallLogger();

    QString m_folder;
};
