#pragma once

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

// A small operator that covers every kind of channel, for the emulator's tests.
//   1 "Первый"      timeshift offsets 1, 7, 8; generated guide
//   2 "Второй"      no icon; two listed telecasts around now
//   3 "Закрытый"    closed
//   4 "Мультикаст"  Multicast_UDP 239.1.2.3:5500; no guide
//   5 "Защищённый"  Multicast_SUDP 239.1.2.4:5501
//   6 "Два звука"   the two-audio-track sample, tracks rus and eng
// The generated guide covers three whole days in one-hour slots.
namespace TestScenario {

inline constexpr char kToken[] = "t-123";
inline constexpr char kMac[] = "001122334455";
inline constexpr int kUtcOffset = 7200;
inline constexpr int kUpdateInterval = 25;
inline constexpr int kChannelCount = 6;
inline constexpr int kGeneratedPerChannel = 3 * 24;
inline constexpr int kTelecastCount = 4 * kGeneratedPerChannel + 2;

inline qint64 listedStart()
{
    return QDateTime::currentSecsSinceEpoch() / 3600 * 3600;
}

inline QJsonObject json()
{
    const qint64 start = listedStart();
    return {
        {"auth", QJsonObject{{"macs", QJsonArray{"00:11:22:33:44:55", "AA-BB-CC-DD-EE-01"}},
                             {"token", kToken},
                             {"ttl", 1800}}},
        {"time",
         QJsonObject{
             {"utcOffset", kUtcOffset}, {"zone", "Europe/Kaliningrad"}, {"posix", "EET-2"}}},
        {"userInfo", QJsonObject{{"accountId", 42},
                                 {"balance", -3.75},
                                 {"cost", 150},
                                 {"fullName", "Петров Пётр"},
                                 {"tariff", "Базовый"},
                                 {"tvPacks", "Базовый, Кино"},
                                 {"vod", true},
                                 {"blocked", true},
                                 {"companyId", 2}}},
        {"settings",
         QJsonObject{
             {"volume", 45},
             {"channelVolume",
              QJsonObject{{"enabled", true},
                          {"records", QJsonArray{QJsonObject{{"channel", 2}, {"volume", 70}}}}}},
             {"custom", "{\"test\":5}"}}},
        {"userChannels",
         QJsonObject{{"own", QJsonObject{{"enabled", true}, {"channels", QJsonArray{3, 1}}}}}},
        {"updateInterval", kUpdateInterval},
        {"offsets", QJsonArray{QJsonObject{{"id", 1}, {"minutes", 0}},
                               QJsonObject{{"id", 7}, {"minutes", -60}},
                               QJsonObject{{"id", 8}, {"minutes", -120}}}},
        {"categories", QJsonArray{QJsonObject{{"id", 1}, {"caption", "Новости"}}}},
        {"guide", QJsonObject{{"daysBefore", 1}, {"daysAfter", 1}, {"slotMinutes", 60}}},
        {"channels",
         QJsonArray{
             QJsonObject{{"id", 1},
                         {"name", "Первый"},
                         {"offsets", QJsonArray{1, 7, 8}},
                         {"categories", QJsonArray{1}}},
             QJsonObject{{"id", 2},
                         {"name", "Второй"},
                         {"icon", false},
                         {"guide", QJsonArray{QJsonObject{{"title", "Утро"},
                                                          {"start", start - 1800},
                                                          {"stop", start}},
                                              QJsonObject{{"id", 900},
                                                          {"title", "День"},
                                                          {"start", start},
                                                          {"stop", start + 1800}}}}},
             QJsonObject{{"id", 3}, {"name", "Закрытый"}, {"available", false}},
             QJsonObject{{"id", 4},
                         {"name", "Мультикаст"},
                         {"guide", "none"},
                         {"stream", QJsonObject{{"scheme", "Multicast_UDP"},
                                                {"address", "239.1.2.3"},
                                                {"port", 5500}}}},
             QJsonObject{{"id", 5},
                         {"name", "Защищённый"},
                         {"stream", QJsonObject{{"scheme", "Multicast_SUDP"},
                                                {"address", "239.1.2.4"},
                                                {"port", 5501}}}},
             QJsonObject{
                 {"id", 6},
                 {"name", "Два звука"},
                 {"sample", "two-audio-tracks.ts"},
                 {"audioTracks", QJsonArray{QJsonObject{{"pid", 257}, {"language", "rus"}},
                                            QJsonObject{{"pid", 258}, {"language", "eng"}}}}},
         }},
    };
}

}  // namespace TestScenario
