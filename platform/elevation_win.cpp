#include "elevation.h"

#include <QFileInfo>
#include <QWidget>

#include <windows.h>

// After windows.h, whose types it uses.
#include <shellapi.h>

#include <string>

namespace {

constexpr char kWhere[] = "Utils::executeElevated";

}  // namespace

namespace Utils {

// Every Windows that Qt 6 runs on has user account control, so the program is
// always started through the "runas" verb.
int executeElevated(const QString& program, const QStringList& arguments, QWidget* parent)
{
    qDebug("[%s] set command %s...", kWhere, qPrintable(program));
    const std::wstring file = program.toStdWString();
    const std::wstring parameters = Elevation::parameterText(arguments).toStdWString();
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = parent ? reinterpret_cast<HWND>(parent->winId()) : nullptr;
    info.lpVerb = L"runas";
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE;
    const QString fileName = QFileInfo(program).fileName();
    qDebug("[%s] starting %s...", kWhere, qPrintable(fileName));
    if (!ShellExecuteExW(&info))
        return 1;  // also when the user refused the elevation prompt
    if (!info.hProcess)
        return 0;
    qDebug("[%s] waiting for %s to return...", kWhere, qPrintable(fileName));
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(info.hProcess, &exitCode);
    CloseHandle(info.hProcess);
    qDebug("[%s] OK, exit code = %d", kWhere, int(exitCode));
    return int(exitCode);
}

}  // namespace Utils

namespace Elevation {

QString unavailableReason()
{
    return {};
}

}  // namespace Elevation
