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

void View::changeChannel(const QModelIndex& index)
{
    Channel* channel = m_model->channel(index);
    ChannelManager* manager = m_model->channelManager();
    if (channel && manager)
        manager->setCurrentChannel(channel);
}

}  // namespace ChannelList
