#pragma once

#include "timeoffset.h"

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>

namespace proto {
class Channel;
class ChannelListResponse;
}  // namespace proto

class Telecast;

// One channel of the operator: its icon, its programme guide and the table of
// time offsets it can be watched at. Times are server local seconds.
//
// The timeshift state lives here as well: the selected offset and, as of the
// last refresh, the telecasts running live and at the shifted time.
class Channel : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLiveOffsetId = 1;
    static constexpr int kDefaultVolume = 50;
    static constexpr int kMaxVolume = 100;

    explicit Channel(QObject* parent = nullptr);

    // Takes entry `index` of the server's list; a null response leaves the
    // channel empty.
    void load(const proto::ChannelListResponse* response, int index, bool withGuide);

    int id() const { return m_id; }
    QString name() const { return m_name; }
    QPixmap icon() const { return m_icon; }
    bool isIconSet() const { return m_iconSet; }
    bool isAvailable() const { return m_available; }
    int listPosition() const { return m_listPosition; }

    int volume() const { return m_volume; }
    void setVolume(int volume);

    // Guide lookups. A telecast holds a time from its start to its stop, both
    // included; the first telecast in guide order wins.
    bool hasProgrammeGuide() const { return m_hasProgrammeGuide; }
    const QList<Telecast*>& telecasts() const { return m_telecasts; }
    Telecast* telecastAt(qint64 time) const;
    Telecast* telecastNow() const;
    Telecast* telecastAtShiftedTime() const;
    Telecast* telecastBefore(const Telecast* telecast) const;  // ends where it starts
    Telecast* telecastAfter(const Telecast* telecast) const;   // starts where it ends
    Telecast* telecastAway(qint64 time, int places) const;

    // Timeshift.
    bool hasTimeOffsets() const { return m_hasTimeOffsets; }
    const QList<TimeOffset>& timeOffsets() const { return m_offsets; }
    int offsetCount() const { return int(m_offsets.size()); }
    int offsetIndex() const { return m_offsetIndex; }  // -1: live
    bool isLive() const { return m_offsetIndex < 0; }
    int indexOfOffset(int minutes) const;  // the first entry with these minutes, or -1
    int currentOffsetId() const;
    int currentOffsetMinutes() const;
    qint64 refreshTime() const { return m_refreshTime; }
    qint64 shiftedTime() const { return m_refreshTime + qint64(currentOffsetMinutes()) * 60; }

    // As of the last refresh.
    Telecast* liveTelecast() const { return m_live; }
    Telecast* previousTelecast() const { return m_previous; }
    Telecast* currentTelecast() const { return m_current; }
    Telecast* nextTelecast() const { return m_next; }

    // Takes "now" from the server clock and finds the telecasts and their
    // timeshift markers again.
    void refresh();
    // Selects a table entry (-1: live) at the last refresh time.
    void selectOffset(int index);
    void resetToLive();

signals:
    void volumeChanged(int value);

private:
    void clearGuide();
    void loadIcon(const proto::Channel& entry);
    void loadGuide(const proto::Channel& entry);
    void loadTimeOffsets(const proto::ChannelListResponse& response, const proto::Channel& entry);
    void locateTelecasts();
    template <typename Predicate>
    Telecast* firstTelecast(Predicate matches) const;

    Telecast* m_live = nullptr;
    Telecast* m_previous = nullptr;
    Telecast* m_current = nullptr;
    Telecast* m_next = nullptr;
    qint64 m_refreshTime = 0;
    int m_offsetIndex = -1;
    QString m_name;
    QPixmap m_icon;
    bool m_iconSet = true;
    int m_listPosition = 0;
    int m_id = 0;
    bool m_available = true;
    bool m_hasProgrammeGuide = false;
    QList<Telecast*> m_telecasts;
    int m_volume = kDefaultVolume;
    bool m_hasTimeOffsets = false;
    QList<TimeOffset> m_offsets;
};
