#pragma once

#include <QWidget>

class ChannelManager;
namespace ChannelList {
class View;
}

// The channel list over fullscreen video, along the right edge of the
// picture; a click on a channel plays it.
class FullscreenChannelList : public QWidget
{
    Q_OBJECT
public:
    explicit FullscreenChannelList(QWidget* parent);

    ChannelList::View* view() const { return m_view; }
    // Along the right edge of the area, in global coordinates.
    void placeIn(const QRect& area);

private:
    ChannelList::View* m_view;
};
