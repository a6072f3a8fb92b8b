#include "customwebview.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QWebEnginePage>

#include <functional>

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
    PortalPage(std::function<void(const QUrl&)> onLinkClicked, QObject* parent)
        : QWebEnginePage(parent), m_onLinkClicked(std::move(onLinkClicked))
    {
    }

protected:
    // The engine reports a script's navigation from a click as a link click
    // too; the portal moves between its pages with forms.
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (type != NavigationTypeLinkClicked)
            return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
        qDebug("[CustomWebView] link clicked: %s", qPrintable(url.toString()));
        m_onLinkClicked(url);
        return false;
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override
    {
        static const char* const levels[] = {"info", "warning", "error"};
        qDebug().noquote().nospace()
            << "[portal] console " << levels[qBound(0, int(level), 2)] << ": " << message << " ("
            << sourceId << ':' << lineNumber << ')';
    }

private:
    std::function<void(const QUrl&)> m_onLinkClicked;
};

}  // namespace

CustomWebView::CustomWebView(QWidget* parent) : QWebEngineView(parent)
{
    // Queued: the window may play a film, which must not happen inside the
    // engine's navigation call.
    setPage(new PortalPage(
        [this](const QUrl& url) {
            QMetaObject::invokeMethod(
                this, [this, url] { emit linkClicked(url); }, Qt::QueuedConnection);
        },
        this));
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
