#pragma once

#include "channelchangeguard.h"

#include <QList>
#include <QPair>

class Channel;

// A channel-change guard that answers as told and remembers what it was asked.
class ScriptedGuard final : public ChannelChangeGuard
{
public:
    bool allow = true;
    QList<QPair<Channel*, Channel*>> asked;

    bool allowChannelChange(Channel* from, Channel* to) override
    {
        asked.append(qMakePair(from, to));
        return allow;
    }
};
