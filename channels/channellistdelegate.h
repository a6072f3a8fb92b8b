#pragma once

#include <QItemDelegate>
#include <QPixmap>

namespace ChannelList {

// Paints a channel row: icon, name, the programme running at the moment the
// row stands for (start and stop time, progress bar, title) and a badge for
// channels that can be watched shifted in time. The placeholder row of a
// loading list is painted as plain text.
class Delegate : public QItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 48;

    explicit Delegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QPixmap m_defaultIcon;
    // Nothing marks a channel's timeshift as withheld, so every channel with
    // time offsets shows the same badge.
    QPixmap m_timeshiftBadge;
};

}  // namespace ChannelList
