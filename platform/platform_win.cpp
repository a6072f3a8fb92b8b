#include "platform.h"

#include <QDir>
#include <QProcess>

#include <shlobj.h>
#include <windows.h>
#include <winsock2.h>

namespace Platform {

int startSockets()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 0), &data);
}

void stopSockets()
{
    WSACleanup();
}

QString documentsFolder()
{
    wchar_t path[MAX_PATH];
    // CSIDL_MYDOCUMENTS with CSIDL_FLAG_CREATE
    if (SUCCEEDED(SHGetFolderPathW(nullptr, 0x8005, nullptr, 0, path)))
        return QDir::fromNativeSeparators(QString::fromWCharArray(path));
    return QDir::homePath();
}

bool openInTextEditor(const QString& filePath)
{
    return QProcess::startDetached("notepad.exe", {QDir::toNativeSeparators(filePath)});
}

QString userScope()
{
    // Each Windows session has its own window station; the key needs no scope.
    return QString();
}

}  // namespace Platform
