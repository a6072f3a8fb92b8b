#include "channelnumberoverlay.h"

#include <QFontMetrics>
#include <QLabel>

namespace {
constexpr int fontPointSize = 48;
}

ChannelNumberOverlay::ChannelNumberOverlay(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint), m_label(new QLabel(this))
{
    m_label->setObjectName(QStringLiteral("lblChannel"));
    setStyleSheet(QStringLiteral("color: rgb(0, 153, 0);background-color: rgb(0, 0, 0);"));
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSize(fontPointSize);
    font.setBold(true);
    m_label->setFont(font);
}

void ChannelNumberOverlay::showDigits(const QString& digits)
{
    m_label->setText(digits);
    const QSize size(m_label->fontMetrics().horizontalAdvance(digits),
                     m_label->sizeHint().height());
    m_label->setGeometry(QRect(QPoint(0, 0), size));
    resize(size);
    if (isHidden())
        show();
}

QString ChannelNumberOverlay::digits() const
{
    return m_label->text();
}
