#pragma once

#include <QPointer>
#include <QRect>

#include <ctime>

class ChannelManager;
class ChannelProgramWidget;
class FullscreenChannelList;
class FullscreenProgressPanel;
class MediaPlayer;
class Telecast;
class TempInfoWidget;
class TimeMachineManager;
class QWidget;

// The windows over the video in fullscreen and only-player presentation:
// the channel list at the right edge, the panel at the bottom, the channel's
// programme and the short banner after a timeshift step. They are made once,
// follow the video area, and the mouse at an edge shows them. Each is a
// window of its own: a child widget would be covered by the video surface.
class FullscreenOverlays
{
public:
    static constexpr int edgePixels = 8;
    static constexpr int bannerMs = 2000;

    // What plays decides what the bottom edge shows: the channel's programme
    // for television, the panel for films.
    enum class Content { Television, Film };

    // What the pointer at a place asks to be shown. An overlay stays while
    // the pointer is over it.
    struct EdgeRule
    {
        bool channelList = false;
        bool bottom = false;
    };
    static EdgeRule atPointer(const QPoint& pointer, const QRect& videoArea, Content content,
                              bool portalShown, const QRect& shownList, const QRect& shownBottom);

    explicit FullscreenOverlays(QWidget& window);

    FullscreenChannelList* channelList() const { return m_channelList; }
    FullscreenProgressPanel* panel() const { return m_panel; }
    ChannelProgramWidget* channelProgramme() const { return m_channelProgramme; }
    TempInfoWidget* banner() const { return m_banner; }

    void setTimeMachineManager(TimeMachineManager* manager);
    void setChannelManager(ChannelManager* manager);
    void setMediaPlayer(MediaPlayer* player);

    // The video area moved or changed its size: every overlay follows.
    void follow(QWidget* videoArea);
    // The pointer moved over the video.
    void pointerMoved(const QPoint& globalPosition, Content content, bool portalShown);
    // The list or the panel is in use: the cursor stays.
    bool holdsCursor() const;
    // The list, the panel and the channel's programme.
    void hideAll();

    void showChannelProgramme();
    // The banner, centred over the video, for a while.
    void showBanner(const Telecast* telecast, time_t time);

private:
    QRect videoArea() const;
    void placeChannelProgramme(const QRect& area);
    void placeBanner(const QRect& area);

    QPointer<QWidget> m_videoArea;
    FullscreenChannelList* m_channelList;
    FullscreenProgressPanel* m_panel;
    ChannelProgramWidget* m_channelProgramme;
    TempInfoWidget* m_banner;
};
