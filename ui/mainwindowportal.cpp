#include "mainwindow.h"

#include "customwebview.h"
#include "settings.h"
#include "videoplatform.h"

#include <QOpenGLWidget>
#include <QWebEnginePage>

// ---- the portal page -------------------------------------------------------

// The web engine costs some hundred megabytes across its processes, so the
// view is made when the portal page is first shown, not at start.
void MainWindow::setupPortal()
{
    prepareTextureComposition();
    connect(m_ui.logoSwitcher, &QStackedWidget::currentChanged, this, [this](int page) {
        if (page == PortalPage && !m_portalBrowser)
            createPortalBrowser();
    });
}

// The web view draws through a texture. The first texture-drawing widget in a
// window makes Qt recreate the window's native surface for composition, and
// that recreation leaves the video surface's native child window dangling
// (a crash in QWidget::create). A hidden OpenGL widget, there before the
// window is first created, gives the window that surface from the start.
void MainWindow::prepareTextureComposition()
{
    if (VideoPlatform::isHeadless())
        return;
    auto* marker = new QOpenGLWidget(this);
    marker->setObjectName(QStringLiteral("textureCompositionMarker"));
    marker->hide();
}

void MainWindow::createPortalBrowser()
{
    if (CustomWebView::disableSandboxForRoot())
        qDebug("[MainWindow::createPortalBrowser] running as root: web engine sandbox disabled");
    m_portalBrowser = new CustomWebView(m_ui.mediaPortalBrowser->parentWidget());
    m_portalBrowser->setObjectName(QStringLiteral("mediaPortalBrowser"));
    delete m_ui.mediaPortalBrowser->parentWidget()->layout()->replaceWidget(m_ui.mediaPortalBrowser,
                                                                            m_portalBrowser);
    delete m_ui.mediaPortalBrowser;
    m_ui.mediaPortalBrowser = m_portalBrowser;
    watchInput(m_portalBrowser);
    connect(m_portalBrowser, &QWebEngineView::titleChanged, this, &MainWindow::portalTitleChanged);
    const QString url = Settings::instance()->portalUrl();
    if (url.isEmpty())
        qDebug("[MainWindow::createPortalBrowser] no portal host known, nothing to load");
    else
        m_portalBrowser->load(QUrl(url));
}

void MainWindow::runPortalScript(const QString& script)
{
    if (m_portalBrowser)
        m_portalBrowser->page()->runJavaScript(script);
}

void MainWindow::requestPortalHtml(const std::function<void(const QString&)>& receiver)
{
    if (!m_portalBrowser) {
        receiver(QString());
        return;
    }
    m_portalBrowser->page()->toHtml(receiver);
}
