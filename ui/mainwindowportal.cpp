#include "mainwindow.h"

#include "channelnumberoverlay.h"
#include "customwebview.h"
#include "mediaportalseriesmanager.h"
#include "movielinks.h"
#include "settings.h"
#include "videoplatform.h"

#include <QDesktopServices>
#include <QOpenGLWidget>
#include <QTimer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>

// ---- the portal page -------------------------------------------------------

// The web engine costs some hundred megabytes across its processes, so the
// view is made when the portal page is first shown, not at start.
void MainWindow::setupPortal()
{
    prepareTextureComposition();
    connect(m_ui.logoSwitcher, &QStackedWidget::currentChanged, this, [this](int page) {
        if (page == PortalPage)
            onPortalPageShown();
    });
    connectSeriesManager();
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

void MainWindow::onPortalPageShown()
{
    if (!m_portalBrowser)
        createPortalBrowser();
    else if (m_portalLoadFailed)
        reloadMediaPortal();
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
    connect(m_portalBrowser, &QWebEngineView::titleChanged, this, &MainWindow::onPortalPageChanged);
    connect(m_portalBrowser->page(), &QWebEnginePage::loadingChanged, this,
            &MainWindow::onPortalLoadingChanged);
    connect(m_portalBrowser, &CustomWebView::linkClicked, this,
            [this](const QUrl& url) { playFtpMovie(url); });
    reloadMediaPortal();
}

void MainWindow::reloadMediaPortal()
{
    if (!m_portalBrowser)
        return;
    const QString url = Settings::instance()->portalUrl();
    if (url.isEmpty()) {
        qDebug("[MainWindow::reloadMediaPortal] no portal host known, nothing to load");
        return;
    }
    m_portalLoadFailed = false;
    m_portalBrowser->load(QUrl(url));
}

// A link click the view refused ends as a stopped load, which leaves the page
// as it was.
void MainWindow::onPortalLoadingChanged(const QWebEngineLoadingInfo& loading)
{
    const QWebEngineLoadingInfo::LoadStatus status = loading.status();
    if (status != QWebEngineLoadingInfo::LoadSucceededStatus &&
        status != QWebEngineLoadingInfo::LoadFailedStatus)
        return;
    // Shown again, the portal page tries once more.
    m_portalLoadFailed = status == QWebEngineLoadingInfo::LoadFailedStatus;
    if (m_portalLoadFailed)
        qDebug("[MainWindow] portal page failed: %s", qPrintable(loading.errorString()));
    onPortalPageChanged();
}

// A new title may come before the page's body has been read: what depends on
// the page is read again when the load ends.
void MainWindow::onPortalPageChanged()
{
    updateCurrentMovieInfo();
    loadLinksToSeriesManager();
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

// ---- the portal's films ----------------------------------------------------

void MainWindow::updateCurrentMovieInfo()
{
    const MovieLinks::Movie movie =
        MovieLinks::defaultMovie(m_portalBrowser ? m_portalBrowser->title() : QString());
    if (isPlayerIdle())
        showMovieProgress(movie.title);
    setDefaultMovie(movie.url, movie.title);
}

void MainWindow::setDefaultMovie(const QString& url, const QString& title)
{
    m_defaultMovieUrl = url;
    m_defaultMovieTitle = title;
    emit defaultMovieChanged();
}

void MainWindow::playFtpMovie(const QString& url, int position)
{
    playFtpMovie(QUrl(url), position);
}

void MainWindow::playFtpMovie(const QUrl& aUrl, int position)
{
    switch (MovieLinks::kindOf(aUrl)) {
        case MovieLinks::LinkKind::Film:
            break;
        case MovieLinks::LinkKind::FilmDatabase:
            qDebug("[MainWindow::playFtpMovie] opening %s in the browser",
                   qPrintable(aUrl.toString()));
            QDesktopServices::openUrl(aUrl);
            return;
        case MovieLinks::LinkKind::Other:
            return;
    }
    m_ui.statusBar->clear();
    m_ui.statusBar->hide();
    stopForFilm();
    m_ui.mediaPlayer->setDeinterlace(DeinterlaceMode(0));
    m_ui.mediaPlayer->setAspectRatio(Settings::instance()->aspectRatio());
    m_ui.mediaPlayer->setCrop(Settings::instance()->crop());
    showMovieProgress(m_defaultMovieTitle);
    m_ui.mediaPlayer->open(MovieLinks::toPlayableUrl(aUrl.toString()), true, -1);
    m_trackMenus.preferLanguageOnce();
    showPage(StandByPage);
    if (position != 0) {
        connect(
            m_ui.mediaPlayer, &MediaPlayer::playing, this,
            [this, position] {
                if (m_ui.mediaPlayer->playback().isSeekable())
                    m_ui.mediaPlayer->setTime(position);
            },
            Qt::SingleShotConnection);
    }
}

void MainWindow::stopForFilm()
{
    // Stopping an idle player would still report a stop. The stop of what
    // plays now comes back from the player's thread after the film has begun
    // to open.
    if (!m_ui.mediaPlayer->playback().isStopped()) {
        m_stopBeforeFilm = true;
        m_ui.mediaPlayer->stop();
    }
}

// ---- series ----------------------------------------------------------------

void MainWindow::connectSeriesManager()
{
    m_seriesManager->setMediaPlayer(m_ui.mediaPlayer);
    connect(m_seriesManager, &TMediaPortalSeriesManager::openNewSeries, this,
            &MainWindow::onOpenNewSeries);
    connect(m_ui.mediaPlayer, &MediaPlayer::playing, m_seriesNameStartTimer,
            qOverload<>(&QTimer::start));
    connect(m_ui.mediaPlayer, &MediaPlayer::playing, this, &MainWindow::updateSeriesButtons);
    connect(m_seriesNameStartTimer, &QTimer::timeout, this,
            &MainWindow::onFtmrSeriesNameStartShowTimer);
    connect(m_seriesNameStopTimer, &QTimer::timeout, this,
            &MainWindow::onFtmrSeriesNameStopShowTimer);
    connect(m_ui.progressWidget, &PlaybackProgressWidget::previousSeriesRequested, m_seriesManager,
            &TMediaPortalSeriesManager::playPrevSeries);
    connect(m_ui.progressWidget, &PlaybackProgressWidget::nextSeriesRequested, m_seriesManager,
            &TMediaPortalSeriesManager::playNextSeries);
}

void MainWindow::loadLinksToSeriesManager()
{
    m_seriesManager->stopSeriesManager();
    requestPortalHtml([self = QPointer<MainWindow>(this)](const QString& html) {
        if (!self)
            return;
        const QStringList links = MovieLinks::filmLinks(html);
        for (const QString& link : links)
            self->m_seriesManager->addSeries(MovieLinks::toPlayableUrl(link));
        self->m_seriesManager->srartSeriesManager();
        qDebug("[MainWindow::loadLinksToSeriesManager] %d of %d film links kept",
               self->m_seriesManager->seriesCount(), int(links.size()));
        self->updateSeriesButtons();
        emit self->portalPageRead(html);
    });
}

void MainWindow::updateSeriesButtons()
{
    const bool series = m_mode == MediaPortalMode && m_seriesManager->isActive();
    m_ui.progressWidget->setSeriesButtons(series, m_seriesManager->isCanSetPrevSeries(),
                                          m_seriesManager->isCanSetNextSeries());
}

void MainWindow::onOpenNewSeries()
{
    m_seriesNameStartTimer->stop();
    onFtmrSeriesNameStopShowTimer();
    updateSeriesButtons();
}

void MainWindow::onFtmrSeriesNameStartShowTimer()
{
    m_seriesNameStartTimer->stop();
    if (m_mode != MediaPortalMode)
        return;
    m_seriesNameStopTimer->start();
    const int episode = m_seriesManager->getSeriesNamber();
    if (m_seriesManager->isLoadSerial() && episode != -1)
        showSerialName(QStringLiteral("%1 %2 ").arg(episode + 1).arg(tr("series")));
}

void MainWindow::onFtmrSeriesNameStopShowTimer()
{
    m_seriesNameStopTimer->stop();
    m_channelNumberOverlay->hide();
}

void MainWindow::showSerialName(const QString& serialName)
{
    if (m_mode != MediaPortalMode)
        return;
    qDebug("[MainWindow::showSerialName] %s", qPrintable(serialName));
    showChannelNumber(serialName);
}
