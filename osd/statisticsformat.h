#pragma once

#include <QString>

// The texts of the statistics window's counters.
namespace StatisticsFormat {

// A byte count with one decimal: up to 1024 as it is ("512.0"), then whole
// kilobytes ("1.0 k"), megabytes (" M") and gigabytes (" G").
QString byteSize(qint32 bytes);

// A rate in bytes per microsecond as kilobits per second ("96.0 kbit/s").
QString bitRate(float bytesPerMicrosecond);

}  // namespace StatisticsFormat
