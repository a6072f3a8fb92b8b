#pragma once

#include <QList>
#include <QtGlobal>

// The figures the benchmarks report and how they read against a goal.
namespace BenchFigures {

// "met" below the goal, else "MISSED".
const char* verdict(double value, double goal);

double mean(const QList<double>& values);
double median(QList<double> values);
// The nearest-rank percentile: the smallest value that at least percent of
// the values do not exceed.
double percentile(QList<double> values, int percent);

// CPU time of the whole process, all its threads, in nanoseconds.
qint64 processCpuNs();

}  // namespace BenchFigures
