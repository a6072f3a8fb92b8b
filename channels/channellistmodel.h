#pragma once

#include <QAbstractListModel>
#include <QColor>
#include <QFont>
#include <QPointer>

class Channel;
class ChannelManager;
class QTimer;

namespace ChannelList {

// The channel manager's visible channels, one row each, or a single
// placeholder row while the list loads. The model is reset once a second so
// that the running programmes and their progress stay current.
class Model : public QAbstractListModel
{
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 1000;

    explicit Model(QObject* parent = nullptr);

    // Not owned; none stops the refresh.
    void setChannelManager(ChannelManager* manager);
    ChannelManager* channelManager() const;

    bool showNumbers() const { return m_showNumbers; }
    void setShowNumbers(bool show);

    bool isLoading() const;
    // Null for the placeholder row and outside the list.
    Channel* channel(const QModelIndex& index) const;
    QModelIndex indexOf(Channel* channel) const;
    Channel* currentChannel() const;
    bool isCurrent(const QModelIndex& index) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // How the list marks the current channel and the font it writes names in.
    static QColor currentBackground();
    static QFont listFont();

public slots:
    void selectChannel(Channel* channel);

private:
    void refresh();
    void announceChange(const QModelIndex& index);
    QVariant placeholderData(int role) const;
    QVariant channelData(const Channel& channel, int row, int role) const;
    QString label(const Channel& channel, int row) const;

    QPointer<ChannelManager> m_manager;
    QPointer<Channel> m_current;
    bool m_showNumbers = false;
    QTimer* m_refreshTimer;
};

}  // namespace ChannelList
