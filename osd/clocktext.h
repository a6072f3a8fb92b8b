#pragma once

#include <QString>

#include <ctime>

// "20:05": the hour and minute of a server-local time, read as UTC.
QString clockText(time_t time);
