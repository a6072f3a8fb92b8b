#include "images.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace Images {

namespace {

QByteArray png(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Hues spread by the golden angle, so that neighbouring ids look different.
QColor channelColour(int channelId)
{
    return QColor::fromHsv(int(channelId * 137.508) % 360, 170, 210);
}

}  // namespace

QByteArray channelDenyPng()
{
    QImage image(640, 360, QImage::Format_RGB32);
    image.fill(QColor(40, 40, 40));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 30, 30), 24));
    painter.drawEllipse(QPointF(320, 180), 120, 120);
    painter.drawLine(QPointF(235, 265), QPointF(405, 95));
    painter.end();
    return png(image);
}

QByteArray channelIconPng(int channelId)
{
    QImage image(48, 48, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(channelColour(channelId));
    painter.drawRoundedRect(QRectF(2, 2, 44, 44), 8, 8);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(24, 24), 9, 9);
    painter.end();
    return png(image);
}

}  // namespace Images
