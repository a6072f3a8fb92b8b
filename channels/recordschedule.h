#pragma once

class Telecast;

// The table of telecasts scheduled for recording, as a telecast's
// record-scheduled flag sees it.
class RecordSchedule
{
public:
    // True when the telecast went into the schedule.
    virtual bool add(Telecast* telecast) = 0;
    virtual void remove(Telecast* telecast) = 0;

protected:
    ~RecordSchedule() = default;
};
