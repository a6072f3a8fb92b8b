#include "channellistdelegate.h"

#include "channel.h"
#include "channellistmodel.h"
#include "serverclock.h"
#include "telecast.h"

#include <QDateTime>
#include <QPainter>

namespace ChannelList {

namespace {

// The colours and weight of one row.
struct Look
{
    QColor background;
    QColor text;
    QColor secondary;
    QColor progress;
    bool bold = false;
};

Look lookOf(const QStyleOptionViewItem& option, const Channel& channel, bool current)
{
    Look look;
    if (current) {
        look = {Model::currentBackground(), Qt::white, Qt::white, Qt::white, true};
    } else {
        look = {option.palette.base().color(), option.palette.text().color(), Qt::darkGray,
                QColor(224, 224, 224), false};
    }
    if (!channel.isAvailable())
        look.background = option.palette.alternateBase().color();
    return look;
}

// Boxes are given by their corner pixels, both of which belong to the box.
QRect box(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QString clockText(int seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("hh:mm"));
}

// A telecast of no length has no progress to show.
bool isShowable(const Telecast* telecast)
{
    return telecast && telecast->isComplete() && telecast->stop() > telecast->start();
}

// Paints one channel row in coordinates relative to the row's top-left corner.
class RowPainter
{
public:
    RowPainter(QPainter& painter, const QRect& row, const Look& look)
        : m_painter(painter),
          m_w(row.width()),
          m_h(row.height()),
          m_look(look),
          m_font(Model::listFont())
    {
        m_font.setBold(look.bold);
    }

    void background() { m_painter.fillRect(QRect(0, 0, m_w, m_h), m_look.background); }

    void icon(const QPixmap& icon) { m_painter.drawPixmap(QRect(5, 4, 40, 40), icon); }

    void name(const QString& text)
    {
        m_painter.setFont(m_font);
        m_painter.setPen(m_look.text);
        m_painter.drawText(box(52, 4, m_w - 9, m_h / 2 - 2), Qt::AlignLeft | Qt::AlignBottom, text);
    }

    void telecast(const Telecast& telecast, qint64 time)
    {
        QFont small = m_font;
        small.setPointSize(7);
        m_painter.setFont(small);
        m_painter.setPen(m_look.secondary);
        times(telecast);
        progressBar(double(time - telecast.start()) / (telecast.stop() - telecast.start()));
        m_painter.setPen(m_look.secondary);
        const QString title =
            m_painter.fontMetrics().elidedText(telecast.title(), Qt::ElideRight, m_w - 57);
        m_painter.drawText(box(52, m_h / 2 + 7, m_w - 6, 2 * (m_h / 2) + 6),
                           Qt::AlignLeft | Qt::AlignTop, title);
    }

    void badge(const QPixmap& badge) { m_painter.drawPixmap(box(m_w - 20, 4, m_w - 6, 18), badge); }

private:
    // Both times are centred on the line just below the middle of the row.
    void times(const Telecast& telecast)
    {
        const int centre = m_h / 2 + 2;
        const int half = m_painter.fontMetrics().height();
        m_painter.drawText(box(50, centre - half, 74, centre + half),
                           Qt::AlignRight | Qt::AlignVCenter, clockText(telecast.start()));
        m_painter.drawText(box(m_w - 30, centre - half, m_w - 6, centre + half),
                           Qt::AlignLeft | Qt::AlignVCenter, clockText(telecast.stop()));
    }

    // The bar spans the box from (85, h / 2) to (w - 41, h / 2 + 4); the fill
    // grows from its left edge.
    void progressBar(double fraction)
    {
        const int top = m_h / 2;
        m_painter.setPen(m_look.progress);
        m_painter.setBrush(Qt::NoBrush);
        // A one-pixel outline of QRect(x, y, w, h) reaches x + w and y + h.
        m_painter.drawRect(QRect(85, top, (m_w - 41) - 85, 4));
        const int filled = qRound(fraction * (m_w - 125));
        if (filled > 0)
            m_painter.fillRect(box(85, top, 84 + filled, top + 4), m_look.progress);
    }

    QPainter& m_painter;
    const int m_w;
    const int m_h;
    const Look m_look;
    QFont m_font;
};

}  // namespace

Delegate::Delegate(QObject* parent)
    : QItemDelegate(parent),
      m_defaultIcon(QStringLiteral(":/images/default-channel-icon.png")),
      m_timeshiftBadge(QStringLiteral(":/images/timeshifted_unavailable.png"))
{
}

QSize Delegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QSize text = QItemDelegate::sizeHint(option, index);
    const auto* model = qobject_cast<const Model*>(index.model());
    if (!model || !model->channel(index))
        return text;
    return QSize(text.width(), kRowHeight);
}

void Delegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                     const QModelIndex& index) const
{
    const auto* model = qobject_cast<const Model*>(index.model());
    const Channel* channel = model ? model->channel(index) : nullptr;
    if (!channel) {
        QItemDelegate::paint(painter, option, index);
        return;
    }
    const bool current = model->isCurrent(index);
    painter->save();
    painter->translate(option.rect.topLeft());
    RowPainter row(*painter, option.rect, lookOf(option, *channel, current));
    row.background();
    row.icon(channel->icon().isNull() ? m_defaultIcon : channel->icon());
    row.name(model->showNumbers()
                 ? QStringLiteral("%1. %2").arg(index.row() + 1).arg(channel->name())
                 : channel->name());
    if (channel->hasProgrammeGuide()) {
        // The current channel shows the moment being watched, the others live.
        const qint64 time = current ? channel->shiftedTime() : ServerClock::serverLocalNow();
        const Telecast* telecast = channel->telecastAt(time);
        if (isShowable(telecast))
            row.telecast(*telecast, time);
    }
    if (channel->hasTimeOffsets())
        row.badge(m_timeshiftBadge);
    painter->restore();
}

}  // namespace ChannelList
