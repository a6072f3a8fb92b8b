#include "fullscreenchannellist.h"

#include "channellistview.h"

#include <QVBoxLayout>

FullscreenChannelList::FullscreenChannelList(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint), m_view(new ChannelList::View(this))
{
    setObjectName(QStringLiteral("FullscreenChannelList"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
}

void FullscreenChannelList::setChannelManager(ChannelManager* manager)
{
    m_view->setChannelManager(manager);
}

void FullscreenChannelList::setShowNumbers(bool show)
{
    m_view->setShowNumbers(show);
}

int FullscreenChannelList::topRow() const
{
    return 0;
}

void FullscreenChannelList::setTopRow(int row)
{
    Q_UNUSED(row)
}

void FullscreenChannelList::placeIn(const QRect& area)
{
    Q_UNUSED(area)
}
