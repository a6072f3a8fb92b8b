#include "timeshiftprogressbarwidget.h"

#include <QMouseEvent>
#include <QPainter>

TimeShiftProgressBarWidget::TimeShiftProgressBarWidget(QWidget* parent) : QWidget(parent) {}

void TimeShiftProgressBarWidget::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
    update();
}

void TimeShiftProgressBarWidget::setPlayedSection(int min, int max)
{
    m_played = {min, max};
    update();
}

void TimeShiftProgressBarWidget::setSecondSection(int min, int max)
{
    m_second = {min, max};
    update();
}

void TimeShiftProgressBarWidget::setLeftCapVisible(bool visible)
{
    m_leftCap = visible;
    update();
}

void TimeShiftProgressBarWidget::setRightCapVisible(bool visible)
{
    m_rightCap = visible;
    update();
}

void TimeShiftProgressBarWidget::setMarkers(const QList<int>& values)
{
    m_markers = values;
    update();
}

void TimeShiftProgressBarWidget::setTitle(const QString& title)
{
    m_title = title;
    update();
}

int TimeShiftProgressBarWidget::valueToPixel(int value) const
{
    Q_UNUSED(value)
    return 0;
}

TimeShiftProgressBarWidget::Geometry TimeShiftProgressBarWidget::geometry() const
{
    return {};
}

QSize TimeShiftProgressBarWidget::sizeHint() const
{
    return {200, 16};
}

void TimeShiftProgressBarWidget::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
}

void TimeShiftProgressBarWidget::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
}
