#include "closepictureoverlay.h"

#include <QLabel>

namespace {

QPixmap shown(const QPixmap& picture)
{
    return picture.scaled(400, 200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

ClosePictureOverlay::ClosePictureOverlay(QWidget* window)
    : QWidget(window, Qt::Tool | Qt::FramelessWindowHint), m_label(new QLabel(this))
{
    m_label->setScaledContents(true);
    setGeometry(100, 100, 700, 500);
}

void ClosePictureOverlay::setPicture(Picture picture, const QPixmap& pixmap)
{
    this->pixmap(picture) = pixmap;
    if (picture == ChannelDenied && !pixmap.isNull())
        m_label->setPixmap(shown(pixmap));
}

bool ClosePictureOverlay::hasPicture(Picture picture) const
{
    return !(picture == ChannelDenied ? m_channelDenied : m_timeShiftDenied).isNull();
}

bool ClosePictureOverlay::showPicture(Picture picture)
{
    if (!hasPicture(picture))
        return false;
    m_label->setPixmap(shown(pixmap(picture)));
    show();
    return true;
}

void ClosePictureOverlay::follow(const QWidget* pane)
{
    if (!hasPicture(ChannelDenied) && !hasPicture(TimeShiftDenied))
        return;
    const QRect place = placement(pane->size());
    setGeometry(QRect(pane->mapToGlobal(place.topLeft()), place.size()));
    m_label->resize(place.size());
}

QRect ClosePictureOverlay::placement(const QSize& pane)
{
    int height = pane.height() / 2;
    int width = 2 * height;
    if (width >= pane.width()) {
        width = pane.width();
        height = pane.width() / 2;
    }
    return QRect((pane.width() - width) / 2, (pane.height() - height) / 2, width, height);
}

QPixmap& ClosePictureOverlay::pixmap(Picture picture)
{
    return picture == ChannelDenied ? m_channelDenied : m_timeShiftDenied;
}
