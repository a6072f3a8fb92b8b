#pragma once

#include <QList>

#include "scenario.h"

// Lays out back-to-back telecasts over whole days of server-local time: today,
// the plan's days before and its days after. Titles cycle through the plan's
// list, shifted per channel so that neighbouring channels differ.
class GuideGenerator
{
public:
    GuideGenerator(const GuidePlan& plan, qint64 nowUtc, int utcOffset);

    // Ids are taken from *nextId onwards.
    QList<TelecastEntry> telecasts(int channelIndex, int slotMinutes, int* nextId) const;

private:
    QStringList m_titles;
    qint64 m_from = 0;  // UTC seconds of the first local midnight
    qint64 m_to = 0;
};
