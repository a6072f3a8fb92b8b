#pragma once

#include <QtGlobal>

// The counters of the input being played: sixteen 32-bit words, all zero when
// nothing plays. Bit rates are in bytes per microsecond.
struct StreamStatistics
{
    qint32 inputPacketsRead = 0;
    qint32 inputBytesRead = 0;
    float inputBitrate = 0;
    float inputAverageBitrate = 0;
    qint32 demuxPacketsRead = 0;
    qint32 demuxBytesRead = 0;
    float demuxBitrate = 0;
    float demuxAverageBitrate = 0;
    qint32 demuxCorrupted = 0;
    qint32 demuxDiscontinuities = 0;
    qint32 videoBlocksDecoded = 0;
    qint32 videoPicturesDisplayed = 0;
    qint32 videoPicturesLost = 0;
    qint32 audioBlocksDecoded = 0;
    qint32 audioBuffersPlayed = 0;
    qint32 audioBuffersLost = 0;
};

static_assert(sizeof(StreamStatistics) == 16 * 4, "the statistics record is sixteen words");
