#include "customwebview.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QWebEnginePage>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

const char sandboxVariable[] = "QTWEBENGINE_DISABLE_SANDBOX";

// A script error on the operator's page is the page's business: a log line,
// never one of the player's own warnings.
class PortalPage : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override
    {
        static const char* const levels[] = {"info", "warning", "error"};
        qDebug().noquote().nospace()
            << "[portal] console " << levels[qBound(0, int(level), 2)] << ": " << message << " ("
            << sourceId << ':' << lineNumber << ')';
    }
};

}  // namespace

CustomWebView::CustomWebView(QWidget* parent) : QWebEngineView(parent)
{
    setPage(new PortalPage(this));
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
