#include "calllogger.h"

#include "settings.h"

CallLogger::CallLogger() : m_folder(Settings::dataDirectory() + QStringLiteral("/call-log")) {}

CallLogger* CallLogger::instance()
{
    static CallLogger* logger = new CallLogger;
    return logger;
}
