#pragma once

#include "recordschedule.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Channel;
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
    ~RecordTableManager() override;

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
    // What keeps the system awake while the table holds anything; the
    // platform's own by default. An empty pointer keeps nothing awake.
    void setKeepAwake(std::unique_ptr<KeepAwake> keepAwake);

public slots:
    void clear();
    void save();

signals:
    void changed();

private slots:
    void load();

private:
    explicit RecordTableManager(QObject* parent = nullptr);

    QList<Telecast*> overlapsOf(const Telecast* telecast) const;
    bool chooseNewOver(const Telecast* telecast, const QList<Telecast*>& overlaps);
    void insert(Telecast* telecast);
    void forget(Telecast* telecast);
    void followKeepAwake();
    void readFile();
    void resolve(int lineNumber, const QString& text, const QHash<QString, Channel*>& channels);

    QPointer<ChannelManager> m_channelManager;
    QList<Telecast*> m_entries;
    OverlapChooser m_chooseOverlap;
    std::unique_ptr<KeepAwake> m_keepAwake;
    bool m_awake = false;
    // While the file is read, what it adds is not written back (the file
    // holds it already): lines it cannot resolve stay in the file until the
    // table changes. Any other change meanwhile is written once it is read.
    bool m_loading = false;
    bool m_resolving = false;
    bool m_saveAfterLoading = false;
    // Changes when the telecasts of the table may have gone away.
    int m_generation = 0;
};
