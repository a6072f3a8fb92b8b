#pragma once

#include <QDateTime>
#include <QString>

// File names of recordings: the local date and time, then the channel and the
// telecast, with "/", "\" and ":" made "-".
namespace RecordingNames {

// "yyyy.MM.dd hh.mm - Channel - Title.mpg", for a scheduled telecast.
QString scheduled(const QDateTime& when, const QString& channel, const QString& title);
// "yyyy.MM.dd hh.mm Channel Title.mpg", or without the title when nothing is
// on air, for a recording started by hand.
QString instant(const QDateTime& when, const QString& channel, const QString& title);

}  // namespace RecordingNames
