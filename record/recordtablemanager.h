#pragma once

#include "recordschedule.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class ChannelManager;
class KeepAwake;
class Telecast;

// The telecasts scheduled for recording, in order of their start. The table
// is kept in record-table.txt in the data folder and filled again from it
// whenever the channel list has loaded. While anything is scheduled the
// computer is kept awake.
class RecordTableManager : public QObject, public RecordSchedule
{
    Q_OBJECT
public:
    // Picks one side of an overlap: title, text and the choices (the new
    // telecast first); returns the index chosen, or -1 when nothing was.
    using OverlapChooser =
        std::function<int(const QString& title, const QString& text, const QStringList& choices)>;

    static RecordTableManager* instance();

    void setChannelManager(ChannelManager* manager);

    // Schedules a telecast; an overlap asks the user unless silent. True when
    // the telecast went into the table.
    bool add(Telecast* telecast, bool silent);
    bool add(Telecast* telecast) override { return add(telecast, false); }
    void remove(Telecast* telecast) override;

    Telecast* at(int index) const;
    int count() const { return int(m_entries.size()); }
    bool contains(Telecast* telecast) const { return m_entries.contains(telecast); }
    // The first telecast in the table that has not ended yet.
    Telecast* nextPending() const;

    QString filePath() const;
    // The default asks with a dialog that takes the first choice after 30 s.
    void setOverlapChooser(OverlapChooser chooser);

public slots:
    void clear();
    void save();

signals:
    void changed();

private slots:
    void load();

private:
    explicit RecordTableManager(QObject* parent = nullptr);

    QPointer<ChannelManager> m_channelManager;
    QList<Telecast*> m_entries;
    OverlapChooser m_chooseOverlap;
    KeepAwake* m_keepAwake = nullptr;
};
