#include "recordingnames.h"

namespace RecordingNames {

QString scheduled(const QDateTime&, const QString&, const QString&)
{
    return {};
}

QString instant(const QDateTime&, const QString&, const QString&)
{
    return {};
}

}  // namespace RecordingNames
