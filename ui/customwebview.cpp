#include "customwebview.h"

#include <QContextMenuEvent>
#include <QCoreApplication>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {
const char sandboxVariable[] = "QTWEBENGINE_DISABLE_SANDBOX";
}

void CustomWebView::prepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    disableSandboxForRoot();
}

bool CustomWebView::disableSandboxForRoot()
{
#ifndef Q_OS_WIN
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty(sandboxVariable))
        qputenv(sandboxVariable, "1");
#endif
    return qEnvironmentVariableIntValue(sandboxVariable) == 1;
}

void CustomWebView::contextMenuEvent(QContextMenuEvent* event)
{
    event->ignore();
}
