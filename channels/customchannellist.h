#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QListView>

class Channel;

// The plain channel lists of the user's own channel list editor.
namespace CustomChannelList {

// A list of channels that its owner keeps and edits, or a single placeholder
// row while the owner waits for the list.
class Model : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit Model(QObject* parent = nullptr);

    // Not owned. After changing the list itself the owner calls refresh().
    void setChannelList(QList<Channel*>* channels);
    QList<Channel*>* channelList() const { return m_channels; }
    void refresh();

    bool isLoading() const { return m_loading; }
    void setLoading(bool loading);

    // Null for the placeholder row and outside the list.
    Channel* channel(const QModelIndex& index) const;
    // Moves one channel within the list; false when either row is outside it.
    bool moveChannel(int from, int to);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    int channelCount() const;

    QList<Channel*>* m_channels = nullptr;
    bool m_loading = false;
};

// Shows its own model. A double click is announced as signalDoubleClicked(),
// which moves the chosen channel to the other list of the editor.
class View : public QListView
{
    Q_OBJECT
public:
    explicit View(QWidget* parent = nullptr);

    Model* channelModel() const { return m_model; }
    bool isLoading() const { return m_model->isLoading(); }
    Channel* currentChannel() const { return m_model->channel(currentIndex()); }

public slots:
    // Move the current channel one place, keeping it current.
    void MoveUp();
    void MoveDown();

signals:
    void signalDoubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void moveCurrent(int places);

    Model* m_model;
};

}  // namespace CustomChannelList
