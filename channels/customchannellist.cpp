#include "customchannellist.h"

#include "channel.h"

namespace CustomChannelList {

// ---- Model -----------------------------------------------------------------

Model::Model(QObject* parent) : QAbstractListModel(parent) {}

void Model::setChannelList(QList<Channel*>* channels)
{
    beginResetModel();
    m_channels = channels;
    endResetModel();
}

void Model::refresh()
{
    beginResetModel();
    endResetModel();
}

void Model::setLoading(bool loading)
{
    if (m_loading == loading)
        return;
    beginResetModel();
    m_loading = loading;
    endResetModel();
}

int Model::channelCount() const
{
    return m_channels ? int(m_channels->size()) : 0;
}

int Model::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    return m_loading ? 1 : channelCount();
}

Channel* Model::channel(const QModelIndex& index) const
{
    if (!index.isValid() || m_loading || !m_channels)
        return nullptr;
    return m_channels->value(index.row(), nullptr);
}

bool Model::moveChannel(int from, int to)
{
    const int count = m_loading ? 0 : channelCount();
    if (from == to || from < 0 || to < 0 || from >= count || to >= count)
        return false;
    // Qt counts the destination of a downward move past the moved row.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    m_channels->move(from, to);
    endMoveRows();
    return true;
}

QVariant Model::data(const QModelIndex& index, int role) const
{
    const bool placeholder = m_loading && index.isValid() && index.row() == 0;
    const Channel* shown = channel(index);
    if (!placeholder && !shown)
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return placeholder ? tr("Loading data...") : shown->name();
        case Qt::DecorationRole:
            return placeholder ? QVariant() : QVariant(shown->icon());
        case Qt::TextAlignmentRole:
            return (Qt::AlignLeft | Qt::AlignVCenter).toInt();
        default:
            return {};
    }
}

// ---- View ------------------------------------------------------------------

View::View(QWidget* parent) : QListView(parent), m_model(new Model(this))
{
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void View::MoveUp()
{
    moveCurrent(-1);
}

void View::MoveDown()
{
    moveCurrent(1);
}

// The view's current index follows the moved row by itself.
void View::moveCurrent(int places)
{
    const int row = currentIndex().row();
    if (row >= 0)
        m_model->moveChannel(row, row + places);
}

void View::mouseDoubleClickEvent(QMouseEvent* event)
{
    QListView::mouseDoubleClickEvent(event);
    emit signalDoubleClicked();
}

}  // namespace CustomChannelList
