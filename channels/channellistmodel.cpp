#include "channellistmodel.h"

#include "channel.h"
#include "channelmanager.h"

#include <QBrush>
#include <QTimer>

namespace ChannelList {

Model::Model(QObject* parent) : QAbstractListModel(parent), m_refreshTimer(new QTimer(this))
{
    m_refreshTimer->setInterval(kRefreshMs);
    connect(m_refreshTimer, &QTimer::timeout, this, &Model::refresh);
}

void Model::setChannelManager(ChannelManager* manager)
{
    beginResetModel();
    if (m_manager)
        disconnect(m_manager, nullptr, this, nullptr);
    m_manager = manager;
    m_current = manager ? manager->currentChannel() : nullptr;
    if (manager) {
        connect(manager, &ChannelManager::loadStarted, this, &Model::refresh);
        connect(manager, &ChannelManager::loadFailed, this, &Model::refresh);
        connect(manager, &ChannelManager::channelListChanged, this, &Model::refresh);
        connect(manager, &ChannelManager::currentChannelChanged, this, &Model::selectChannel);
        m_refreshTimer->start();
    } else {
        m_refreshTimer->stop();
    }
    endResetModel();
}

ChannelManager* Model::channelManager() const
{
    return m_manager;
}

void Model::setShowNumbers(bool show)
{
    if (m_showNumbers == show)
        return;
    m_showNumbers = show;
    refresh();
}

void Model::refresh()
{
    beginResetModel();
    endResetModel();
}

// ---- rows ------------------------------------------------------------------

bool Model::isLoading() const
{
    return m_manager && m_manager->isLoading();
}

int Model::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_manager)
        return 0;
    if (m_manager->isLoading())
        return 1;
    return m_manager->isLoaded() ? m_manager->channelCount() : 0;
}

Channel* Model::channel(const QModelIndex& index) const
{
    if (!index.isValid() || !m_manager || isLoading() || !m_manager->isLoaded())
        return nullptr;
    return m_manager->channelAt(index.row());
}

QModelIndex Model::indexOf(Channel* channel) const
{
    if (!channel || !m_manager || isLoading())
        return {};
    return index(m_manager->indexOf(channel));
}

Channel* Model::currentChannel() const
{
    return m_current;
}

bool Model::isCurrent(const QModelIndex& index) const
{
    const Channel* shown = channel(index);
    return shown && shown == m_current;
}

void Model::selectChannel(Channel* channel)
{
    announceChange(indexOf(m_current));
    m_current = channel;
    announceChange(indexOf(channel));
}

void Model::announceChange(const QModelIndex& index)
{
    if (index.isValid())
        emit dataChanged(index, index);
}

// ---- data ------------------------------------------------------------------

QColor Model::currentBackground()
{
    return QColor(122, 193, 66);
}

QFont Model::listFont()
{
    return QFont(QStringLiteral("Arial"), 12);
}

QVariant Model::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (isLoading())
        return placeholderData(role);
    const Channel* shown = channel(index);
    return shown ? channelData(*shown, index.row(), role) : QVariant();
}

QVariant Model::placeholderData(int role) const
{
    switch (role) {
        case Qt::DisplayRole:
            return tr("Loading channels...");
        case Qt::FontRole: {
            QFont font = listFont();
            font.setItalic(true);
            return font;
        }
        case Qt::ForegroundRole:
            return QBrush(Qt::black);
        default:
            return {};
    }
}

QVariant Model::channelData(const Channel& channel, int row, int role) const
{
    const bool current = &channel == m_current;
    switch (role) {
        case Qt::DisplayRole:
            return channel.isIconSet() ? label(channel, row) : QVariant();
        case Qt::DecorationRole:
            return channel.icon();
        case Qt::FontRole: {
            QFont font = listFont();
            font.setBold(current);
            return font;
        }
        case Qt::BackgroundRole:
            return current ? QVariant(QBrush(currentBackground())) : QVariant();
        case Qt::ForegroundRole:
            return QBrush(current ? Qt::white : Qt::black);
        default:
            return {};
    }
}

// With numbers the row number stands right-aligned in five places.
QString Model::label(const Channel& channel, int row) const
{
    if (!m_showNumbers)
        return channel.name();
    return QStringLiteral("%1 %2").arg(row + 1, 5).arg(channel.name());
}

}  // namespace ChannelList
