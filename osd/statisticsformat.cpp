#include "statisticsformat.h"

#include <QCoreApplication>

namespace StatisticsFormat {

namespace {

constexpr qint32 kilo = 1 << 10;
constexpr qint32 mega = 1 << 20;
constexpr qint32 giga = 1 << 30;

QString withUnit(qint32 units, const char* unit)
{
    return QString::number(double(units), 'f', 1) +
           QCoreApplication::translate("StatisticsWindow", unit);
}

}  // namespace

QString byteSize(qint32 bytes)
{
    if (bytes <= kilo)
        return QString::number(double(bytes), 'f', 1);
    if (bytes <= mega)
        return withUnit(bytes >> 10, QT_TRANSLATE_NOOP("StatisticsWindow", " k"));
    if (bytes <= giga)
        return withUnit(bytes >> 20, QT_TRANSLATE_NOOP("StatisticsWindow", " M"));
    return withUnit(bytes >> 30, QT_TRANSLATE_NOOP("StatisticsWindow", " G"));
}

QString bitRate(float bytesPerMicrosecond)
{
    const double kilobitsPerSecond = double(bytesPerMicrosecond) * 8000;
    return QString::number(kilobitsPerSecond, 'f', 1) +
           QCoreApplication::translate("StatisticsWindow", " kbit/s");
}

}  // namespace StatisticsFormat
