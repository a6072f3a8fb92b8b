#include "benchfigures.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numeric>

const char* BenchFigures::verdict(double value, double goal)
{
    return value < goal ? "met" : "MISSED";
}

double BenchFigures::mean(const QList<double>& values)
{
    return std::accumulate(values.begin(), values.end(), 0.0) / values.size();
}

double BenchFigures::median(QList<double> values)
{
    return percentile(std::move(values), 50);
}

double BenchFigures::percentile(QList<double> values, int percent)
{
    std::sort(values.begin(), values.end());
    const auto rank = qsizetype(std::ceil(values.size() * percent / 100.0));
    return values.at(std::max<qsizetype>(rank, 1) - 1);
}

qint64 BenchFigures::processCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
