#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// zentria-player run as a real process on a profile folder of its own,
// headless, with its boxes answered and written to a file.
class PlayerProcess
{
public:
    explicit PlayerProcess(const QString& home);
    ~PlayerProcess();

    static QString executable();

    void start(const QStringList& arguments = {});
    // Runs to the end; returns the exit code, or -1 when it crashed or hung.
    int run(const QStringList& arguments = {});

    bool waitForLog(const QString& text, int count = 1, int timeoutMs = 15000) const;
    int waitForExit(int timeoutMs = 15000);
    void terminate();  // SIGTERM, as a desktop session ends a program
    void kill();       // SIGKILL, no chance to clean up

    QString dataDirectory() const;
    QString log() const;
    QStringList boxes() const;  // "kind<TAB>title<TAB>text"

private:
    QString m_home;
    QProcess m_process;
};
