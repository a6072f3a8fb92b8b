#include "channellistview.h"

#include "channellistdelegate.h"
#include "channellistmodel.h"
#include "channelmanager.h"

namespace ChannelList {

View::View(QWidget* parent) : QListView(parent), m_model(new Model(this))
{
    setModel(m_model);
    setItemDelegate(new Delegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    connect(this, &QAbstractItemView::activated, this, &View::changeChannel);
}

void View::setChannelManager(ChannelManager* manager)
{
    m_model->setChannelManager(manager);
}

void View::setShowNumbers(bool show)
{
    m_model->setShowNumbers(show);
}

void View::scrollToCurrentChannel()
{
    const QModelIndex current = m_model->indexOf(m_model->currentChannel());
    if (current.isValid())
        scrollTo(current, QAbstractItemView::PositionAtCenter);
}

int View::topRow() const
{
    return indexAt(QPoint(0, 0)).row();
}

void View::setTopRow(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    if (index.isValid())
        scrollTo(index, QAbstractItemView::PositionAtTop);
}

void View::changeChannel(const QModelIndex& index)
{
    Channel* channel = m_model->channel(index);
    ChannelManager* manager = m_model->channelManager();
    if (channel && manager)
        manager->setCurrentChannel(channel);
}

}  // namespace ChannelList
