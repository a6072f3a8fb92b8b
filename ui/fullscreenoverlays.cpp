#include "fullscreenoverlays.h"

#include "channellistview.h"
#include "channelprogramwidget.h"
#include "fullplaybackprogresswidget.h"
#include "fullscreenchannellist.h"
#include "fullscreenprogresspanel.h"
#include "tempinfowidget.h"

#include <QCoreApplication>
#include <QScreen>
#include <QWidget>

namespace {

constexpr Qt::WindowFlags overlayWindow = Qt::ToolTip | Qt::FramelessWindowHint;
constexpr int margin = 20;

void setShown(QWidget* widget, bool shown)
{
    if (shown && widget->isHidden()) {
        widget->show();
        widget->raise();
    } else if (!shown && widget->isVisible()) {
        widget->hide();
    }
}

QRect shownRect(const QWidget* widget)
{
    return widget->isVisible() ? widget->geometry() : QRect();
}

}  // namespace

FullscreenOverlays::EdgeRule FullscreenOverlays::atPointer(const QPoint& pointer,
                                                           const QRect& videoArea, Content content,
                                                           bool portalShown, const QRect& shownList,
                                                           const QRect& shownBottom)
{
    const bool nearRight = videoArea.right() - pointer.x() < edgePixels;
    const bool nearBottom = videoArea.bottom() - pointer.y() < edgePixels;
    EdgeRule rule;
    rule.channelList = content == Content::Television && (nearRight || shownList.contains(pointer));
    rule.bottom = !portalShown && (nearBottom || shownBottom.contains(pointer));
    return rule;
}

FullscreenOverlays::FullscreenOverlays(QWidget& window)
    : m_channelList(new FullscreenChannelList(&window)),
      m_panel(new FullscreenProgressPanel(&window)),
      m_channelProgramme(new ChannelProgramWidget(&window, overlayWindow)),
      m_banner(new TempInfoWidget(&window, overlayWindow))
{
    // The window system lists them by these names.
    m_channelProgramme->setWindowTitle(
        QCoreApplication::translate("FullscreenOverlays", "Programme"));
    m_banner->setWindowTitle(QCoreApplication::translate("FullscreenOverlays", "Now watching"));
    for (QWidget* overlay :
         {static_cast<QWidget*>(m_channelList), static_cast<QWidget*>(m_panel),
          static_cast<QWidget*>(m_channelProgramme), static_cast<QWidget*>(m_banner)})
        overlay->hide();
}

void FullscreenOverlays::setTimeMachineManager(TimeMachineManager* manager)
{
    m_channelProgramme->setTimeMachineManager(manager);
    m_banner->setTimeMachineManager(manager);
    m_panel->progress()->setTimeMachineManager(manager);
}

void FullscreenOverlays::setChannelManager(ChannelManager* manager)
{
    m_channelList->view()->setChannelManager(manager);
}

void FullscreenOverlays::setMediaPlayer(MediaPlayer* player)
{
    m_panel->progress()->setMediaPlayer(player);
}

void FullscreenOverlays::follow(QWidget* videoArea)
{
    m_videoArea = videoArea;
    const QRect area = this->videoArea();
    if (area.isEmpty())
        return;
    m_channelList->placeIn(area);
    m_panel->placeIn(area);
    placeChannelProgramme(area);
    if (m_banner->isVisible())
        placeBanner(area);
}

QRect FullscreenOverlays::videoArea() const
{
    if (!m_videoArea)
        return {};
    // Right after the window went fullscreen its new place may not have been
    // reported yet: the overlays stay on the screen all the same.
    const QRect area(m_videoArea->mapToGlobal(QPoint(0, 0)), m_videoArea->size());
    const QScreen* screen = m_videoArea->screen();
    return screen ? area.intersected(screen->geometry()) : area;
}

void FullscreenOverlays::placeChannelProgramme(const QRect& area)
{
    m_channelProgramme->ensurePolished();
    const QSize size = m_channelProgramme->sizeHint().boundedTo(area.size() - QSize(2 * margin, 0));
    m_channelProgramme->setGeometry(area.left() + margin,
                                    area.bottom() + 1 - margin - size.height(), size.width(),
                                    size.height());
}

void FullscreenOverlays::placeBanner(const QRect& area)
{
    m_banner->adjustSize();
    m_banner->placeAt(area.center().x() - m_banner->width() / 2, area.top() + margin);
}

void FullscreenOverlays::pointerMoved(const QPoint& globalPosition, Content content,
                                      bool portalShown)
{
    QWidget* bottom = content == Content::Television ? static_cast<QWidget*>(m_channelProgramme)
                                                     : static_cast<QWidget*>(m_panel);
    const EdgeRule rule = atPointer(globalPosition, videoArea(), content, portalShown,
                                    shownRect(m_channelList), shownRect(bottom));
    // What shows takes its place as it is now: its contents may have grown.
    if ((rule.channelList && m_channelList->isHidden()) || (rule.bottom && bottom->isHidden()))
        follow(m_videoArea);
    setShown(m_channelList, rule.channelList);
    setShown(bottom, rule.bottom);
}

bool FullscreenOverlays::holdsCursor() const
{
    return m_channelList->isVisible() || m_panel->isVisible();
}

void FullscreenOverlays::hideAll()
{
    for (QWidget* overlay : {static_cast<QWidget*>(m_channelList), static_cast<QWidget*>(m_panel),
                             static_cast<QWidget*>(m_channelProgramme)})
        setShown(overlay, false);
}

void FullscreenOverlays::showChannelProgramme()
{
    setShown(m_channelProgramme, true);
}

void FullscreenOverlays::showBanner(const Telecast* telecast, time_t time)
{
    m_banner->showInfo(telecast, time, bannerMs);
    placeBanner(videoArea());
}
