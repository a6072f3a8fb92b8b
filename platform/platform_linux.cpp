#include "platform.h"

#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

#include <unistd.h>

namespace Platform {

int startSockets()
{
    return 0;
}

void stopSockets() {}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return QDir::homePath();
    QDir().mkpath(documents);
    return documents;
}

bool openInTextEditor(const QString& filePath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}

QString userScope()
{
    return QString::number(::getuid());
}

}  // namespace Platform
