#include "fullscreenoverlays.h"

#include "channelprogramwidget.h"
#include "fullscreenchannellist.h"
#include "fullscreenprogresspanel.h"
#include "tempinfowidget.h"

#include <QWidget>

FullscreenOverlays::EdgeRule FullscreenOverlays::atPointer(const QPoint& pointer,
                                                           const QRect& videoArea, Content content,
                                                           bool portalShown, const QRect& shownList,
                                                           const QRect& shownBottom)
{
    Q_UNUSED(pointer)
    Q_UNUSED(videoArea)
    Q_UNUSED(content)
    Q_UNUSED(portalShown)
    Q_UNUSED(shownList)
    Q_UNUSED(shownBottom)
    return {};
}

FullscreenOverlays::FullscreenOverlays(QWidget& window)
    : m_window(window),
      m_channelList(new FullscreenChannelList(&window)),
      m_panel(new FullscreenProgressPanel(&window)),
      m_channelProgramme(new ChannelProgramWidget(&window, Qt::ToolTip | Qt::FramelessWindowHint)),
      m_banner(new TempInfoWidget(&window, Qt::ToolTip | Qt::FramelessWindowHint))
{
}

void FullscreenOverlays::setTimeMachineManager(TimeMachineManager* manager)
{
    Q_UNUSED(manager)
}

void FullscreenOverlays::setChannelManager(ChannelManager* manager)
{
    Q_UNUSED(manager)
}

void FullscreenOverlays::setMediaPlayer(MediaPlayer* player)
{
    Q_UNUSED(player)
}

void FullscreenOverlays::follow(QWidget* videoArea)
{
    m_videoArea = videoArea;
}

void FullscreenOverlays::pointerMoved(const QPoint& globalPosition, Content content,
                                      bool portalShown)
{
    Q_UNUSED(globalPosition)
    Q_UNUSED(content)
    Q_UNUSED(portalShown)
}

bool FullscreenOverlays::holdsCursor() const
{
    return false;
}

void FullscreenOverlays::hideAll() {}

void FullscreenOverlays::showChannelProgramme() {}

void FullscreenOverlays::showBanner(const Telecast* telecast, time_t time)
{
    Q_UNUSED(telecast)
    Q_UNUSED(time)
}
