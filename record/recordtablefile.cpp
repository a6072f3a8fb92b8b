#include "recordtablefile.h"

namespace RecordTableFile {

QString formatStart(qint64)
{
    return {};
}

QString format(const Line& line)
{
    return line.channel;
}

}  // namespace RecordTableFile
