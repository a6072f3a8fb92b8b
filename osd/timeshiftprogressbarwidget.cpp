#include "timeshiftprogressbarwidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

namespace {

QString imageName(const QString& name)
{
    return QStringLiteral(":/images/%1.png").arg(name);
}

// The textures are one bar high; scaled once to the bar's height they fill
// without a transform, which is several times faster.
QBrush textureBrush(const QString& name, int height = 0)
{
    const QPixmap texture(imageName(name));
    if (height <= 0 || texture.isNull())
        return QBrush(texture);
    return QBrush(
        texture.scaled(texture.width(), height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

TimeShiftProgressBarWidget::TimeShiftProgressBarWidget(QWidget* parent)
    : QWidget(parent),
      m_backgroundBrush(textureBrush("prb-brush-3")),
      m_playedBrush(textureBrush("prb-brush-1")),
      m_secondBrush(textureBrush("prb-brush-2")),
      m_marker(imageName("time_shift_marker"))
{
    for (CapVariant variant : {PlayedCap, SecondCap, BackgroundCap}) {
        m_leftCaps[variant] = QPixmap(capImage(Left, variant));
        m_rightCaps[variant] = QPixmap(capImage(Right, variant));
    }
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

template <typename T>
void TimeShiftProgressBarWidget::change(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void TimeShiftProgressBarWidget::setRange(int minimum, int maximum)
{
    change(m_range, {minimum, maximum});
}

void TimeShiftProgressBarWidget::setPlayedSection(int min, int max)
{
    change(m_played, {min, max});
}

void TimeShiftProgressBarWidget::setSecondSection(int min, int max)
{
    change(m_second, {min, max});
}

void TimeShiftProgressBarWidget::setLeftCapVisible(bool visible)
{
    change(m_leftCap, visible);
}

void TimeShiftProgressBarWidget::setRightCapVisible(bool visible)
{
    change(m_rightCap, visible);
}

void TimeShiftProgressBarWidget::setMarkers(const QList<int>& values)
{
    change(m_markers, values);
}

void TimeShiftProgressBarWidget::setTitle(const QString& title)
{
    change(m_title, title);
}

int TimeShiftProgressBarWidget::drawnWidth(const QPixmap& image) const
{
    return image.isNull() ? 0 : qRound(qreal(image.width()) * height() / image.height());
}

int TimeShiftProgressBarWidget::xmin() const
{
    return m_leftCap ? drawnWidth(m_leftCaps[BackgroundCap]) : 0;
}

int TimeShiftProgressBarWidget::xmax() const
{
    const int right = width() - (m_rightCap ? drawnWidth(m_rightCaps[BackgroundCap]) : 0);
    return qMax(xmin(), right);
}

int TimeShiftProgressBarWidget::valueToPixel(int value) const
{
    if (isRangeEmpty() || value < m_range.min || value > m_range.max)
        return 0;
    // 64 bits: the values may be epoch seconds.
    return int((qint64(value) - m_range.min) * (xmax() - xmin()) /
               (qint64(m_range.max) - m_range.min));
}

// The nearest value whose pixel is under x.
int TimeShiftProgressBarWidget::pixelToValue(int x) const
{
    const int span = xmax() - xmin();
    if (span <= 0)
        return m_range.min;
    const qint64 pixel = qBound(0, x - xmin(), span);
    const qint64 values = qint64(m_range.max) - m_range.min;
    return int(m_range.min + (pixel * values + span / 2) / span);
}

QRect TimeShiftProgressBarWidget::sectionRect(const Section& section) const
{
    if (section.isEmpty() || isRangeEmpty())
        return {};
    const auto clamped = [this](int value) { return qBound(m_range.min, value, m_range.max); };
    const int left = xmin() + valueToPixel(clamped(qMin(section.min, section.max)));
    const int right = xmin() + valueToPixel(clamped(qMax(section.min, section.max)));
    return right > left ? QRect(left, 0, right - left, height()) : QRect();
}

bool TimeShiftProgressBarWidget::reaches(const Section& section, Side side) const
{
    const QRect rect = sectionRect(section);
    if (rect.isNull())
        return false;
    return side == Left ? rect.left() <= xmin() : rect.x() + rect.width() >= xmax();
}

TimeShiftProgressBarWidget::CapVariant TimeShiftProgressBarWidget::capVariant(Side side) const
{
    if (reaches(m_played, side))
        return PlayedCap;
    return reaches(m_second, side) ? SecondCap : BackgroundCap;
}

QString TimeShiftProgressBarWidget::capImage(Side side, CapVariant variant)
{
    return imageName(QStringLiteral("prb_%1_%2")
                         .arg(side == Left ? QStringLiteral("left") : QStringLiteral("right"))
                         .arg(variant + 1));
}

TimeShiftProgressBarWidget::Geometry TimeShiftProgressBarWidget::barGeometry() const
{
    Geometry geometry;
    geometry.xmin = xmin();
    geometry.xmax = xmax();
    if (m_leftCap)
        geometry.leftCap = capImage(Left, capVariant(Left));
    if (m_rightCap)
        geometry.rightCap = capImage(Right, capVariant(Right));
    geometry.played = sectionRect(m_played);
    geometry.second = sectionRect(m_second);
    for (int value : m_markers) {
        if (!isRangeEmpty() && value >= m_range.min && value <= m_range.max)
            geometry.markerPixels << geometry.xmin + valueToPixel(value);
    }
    return geometry;
}

QSize TimeShiftProgressBarWidget::sizeHint() const
{
    return {200, 16};
}

void TimeShiftProgressBarWidget::resizeEvent(QResizeEvent* event)
{
    if (event->size().height() != event->oldSize().height()) {
        m_backgroundBrush = textureBrush("prb-brush-3", height());
        m_playedBrush = textureBrush("prb-brush-1", height());
        m_secondBrush = textureBrush("prb-brush-2", height());
    }
    QWidget::resizeEvent(event);
}

void TimeShiftProgressBarWidget::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    const Geometry geometry = barGeometry();
    logRepaint(geometry.xmin, geometry.xmax);

    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect bar(geometry.xmin, 0, geometry.xmax - geometry.xmin, height());
    painter.fillRect(bar, m_backgroundBrush);
    painter.fillRect(geometry.second, m_secondBrush);
    painter.fillRect(geometry.played, m_playedBrush);
    if (m_leftCap)
        painter.drawPixmap(QRect(0, 0, geometry.xmin, height()), m_leftCaps[capVariant(Left)]);
    if (m_rightCap) {
        painter.drawPixmap(QRect(geometry.xmax, 0, width() - geometry.xmax, height()),
                           m_rightCaps[capVariant(Right)]);
    }

    QSize markerSize = m_marker.size();
    if (markerSize.height() > height())
        markerSize.scale(markerSize.width(), height(), Qt::KeepAspectRatio);
    QRect marker(QPoint(), markerSize);
    for (int x : geometry.markerPixels) {
        marker.moveCenter(QPoint(x, height() / 2));
        painter.drawPixmap(marker, m_marker);
    }

    if (!m_title.isEmpty())
        drawTitle(painter, bar);
}

void TimeShiftProgressBarWidget::drawTitle(QPainter& painter, const QRect& bar) const
{
    const QString text = fontMetrics().elidedText(m_title, Qt::ElideRight, bar.width() - 4);
    painter.setPen(Qt::black);
    painter.drawText(bar.translated(1, 1), Qt::AlignCenter, text);
    painter.setPen(Qt::white);
    painter.drawText(bar, Qt::AlignCenter, text);
}

void TimeShiftProgressBarWidget::logRepaint(int left, int right) const
{
    qDebug(
        "[TimeShiftProgressBarWidget::paintEvent] xmin %d xmax %d progres_min %d progres_max %d "
        "played_min %d played_max %d",
        left, right, m_range.min, m_range.max, m_played.min, m_played.max);
    qDebug(
        "[TimeShiftProgressBarWidget::paintEvent]valueToPixel(sectionPlayed.min) %d "
        "valueToPixel(sectionPlayed.max) %d",
        valueToPixel(m_played.min), valueToPixel(m_played.max));
}

void TimeShiftProgressBarWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || isRangeEmpty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    emit valueChangedByUser(pixelToValue(event->position().toPoint().x()));
}
