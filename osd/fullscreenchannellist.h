#pragma once

#include <QWidget>

class ChannelManager;
namespace ChannelList {
class View;
}

// The channel list over fullscreen video, at the right edge of the picture;
// a click on a channel plays it.
class FullscreenChannelList : public QWidget
{
    Q_OBJECT
public:
    explicit FullscreenChannelList(QWidget* parent);

    ChannelList::View* view() const { return m_view; }
    void setChannelManager(ChannelManager* manager);
    void setShowNumbers(bool show);
    // The row at the top of the view, to keep two lists in step.
    int topRow() const;
    void setTopRow(int row);
    // Along the right edge of the area, in global coordinates.
    void placeIn(const QRect& area);

private:
    ChannelList::View* m_view;
};
