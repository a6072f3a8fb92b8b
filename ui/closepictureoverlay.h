#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;

// The frameless window that tells over the video that a channel, or its
// timeshift, is closed to the subscriber. It shows only pictures the server
// delivered, and while one did it keeps over the middle of the video pane.
class ClosePictureOverlay : public QWidget
{
    Q_OBJECT
public:
    enum Picture { ChannelDenied, TimeShiftDenied };

    explicit ClosePictureOverlay(QWidget* window);

    // A null pixmap means the server delivered none.
    void setPicture(Picture picture, const QPixmap& pixmap);
    bool hasPicture(Picture picture) const;
    // Shows the picture; false, and nothing shown, when it never arrived.
    bool showPicture(Picture picture);
    // Centres the window over pane while any picture arrived.
    void follow(const QWidget* pane);

    // Within a pane: half its height and twice as wide, or as wide as the
    // pane and half as high when that would not fit; centred.
    static QRect placement(const QSize& pane);

private:
    QPixmap& pixmap(Picture picture);

    QLabel* const m_label;
    QPixmap m_channelDenied;
    QPixmap m_timeShiftDenied;
};
