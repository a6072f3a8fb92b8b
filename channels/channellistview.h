#pragma once

#include <QListView>

class ChannelManager;

namespace ChannelList {

class Model;

// The channel list beside the video: activating a row asks the channel
// manager to make that channel current.
class View : public QListView
{
    Q_OBJECT
public:
    explicit View(QWidget* parent = nullptr);

    Model* channelModel() const { return m_model; }
    void setChannelManager(ChannelManager* manager);
    void setShowNumbers(bool show);

    // Centres the current channel.
    void scrollToCurrentChannel();
    // The row at the top of the view, to keep two lists in step; -1 when
    // the list is empty.
    int topRow() const;
    void setTopRow(int row);

public slots:
    // Through the channel manager's guard, which may refuse.
    void changeChannel(const QModelIndex& index);

private:
    Model* m_model;
};

}  // namespace ChannelList
