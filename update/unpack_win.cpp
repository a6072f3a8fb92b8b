#include "unpack.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

int Unpack::unpackZip(const QString& archive, const QString& directory)
{
    return QProcess::execute(QCoreApplication::applicationDirPath() + QStringLiteral("/unzip.exe"),
                             {QStringLiteral("-o"), QDir::toNativeSeparators(archive),
                              QStringLiteral("-d"), QDir::toNativeSeparators(directory)});
}
