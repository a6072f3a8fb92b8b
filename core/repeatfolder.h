#pragma once

#include <QString>
#include <QStringList>

// Holds back the repeats of a flood of log messages. A message equal to the
// one before it is counted; so is a message that repeats the one two to four
// lines before it, the way libVLC alternates two errors while it retries, as
// long as the messages go on repeating that cycle of lines. Only messages that
// follow each other within floodGapMs count as a flood: what repeats at a
// slower pace, a user's action done twice, is written each time.
class RepeatFolder
{
public:
    static constexpr qint64 floodGapMs = 1000;

    // The lines to write for a message that comes at atMs (any monotonic
    // milliseconds): none while it goes on with a repeat, else what stood for
    // the repeat before it and the message.
    QStringList take(const QString& message, qint64 atMs);
    // The lines that stand for what is held back: a count of the whole
    // cycles, then the messages of an unfinished one.
    QStringList release();
    void clear();

private:
    static constexpr int maxCycle = 4;

    static QString countLine(int cycle, int times);
    QString expected() const;
    void remember(const QString& message);

    QStringList m_recent;  // the last lines written, oldest first
    int m_cycle = 0;       // length of the repeating cycle, 0 when none
    int m_held = 0;        // messages held back since it began
    qint64 m_lastAtMs = 0;
};
