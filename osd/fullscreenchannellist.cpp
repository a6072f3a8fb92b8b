#include "fullscreenchannellist.h"

#include "channellistview.h"

#include <QStyle>
#include <QVBoxLayout>

namespace {
constexpr int narrowest = 220;
constexpr int widest = 360;
}  // namespace

FullscreenChannelList::FullscreenChannelList(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint), m_view(new ChannelList::View(this))
{
    setObjectName(QStringLiteral("FullscreenChannelList"));
    setWindowTitle(tr("Channel list"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    // Over fullscreen video one click is enough.
    if (!m_view->style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick))
        connect(m_view, &QAbstractItemView::clicked, m_view, &ChannelList::View::changeChannel);
}

void FullscreenChannelList::placeIn(const QRect& area)
{
    const int width = qBound(narrowest, area.width() / 4, widest);
    setGeometry(area.right() + 1 - width, area.top(), width, area.height());
}
