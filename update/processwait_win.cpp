#include "processwait.h"

#include <windows.h>

void ProcessWait::waitForEnd(qint64 pid)
{
    const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!process)
        return;
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
}
