#pragma once

#include "channel.h"
#include "fixedclock.h"
#include "guideanswers.h"
#include "timemachinemanager.h"

#include <QList>

#include <string>

namespace TimeshiftFixture {

constexpr qint64 kBase = 1699999200;  // 22:00 UTC: telecast T4 starts here
constexpr qint64 kMinute = 60;

// A channel with hourly telecasts "T1" to "T5" around kBase and a timeshift
// table of the given minutes (ids 2, 3, ...; id 1 is live), and the manager
// watching it, on a clock standing at `now`.
class TimeshiftChannel
{
public:
    explicit TimeshiftChannel(const QList<int>& minutes, qint64 now = kBase + 20 * kMinute)
        : clock(now)
    {
        using namespace GuideAnswers;
        proto::ChannelListResponse list;
        proto::Channel* entry = addChannel(list, 1, "One");
        entry->add_offset(1);
        for (int k = 0; k < minutes.size(); ++k) {
            entry->add_offset(k + 2);
            addTimeOffset(list, k + 2, minutes[k]);
        }
        for (int id = 1; id <= 5; ++id) {
            addTelecast(entry, id, kBase + (id - 4) * 3600, kBase + (id - 3) * 3600,
                        "T" + std::to_string(id));
        }
        channel.load(&list, 0, true);
        manager.setNewChannel(&channel);
    }

    FixedClock clock;
    Channel channel;
    TimeMachineManager manager;
};

}  // namespace TimeshiftFixture
