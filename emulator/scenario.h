#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "stb_params.pb.h"
#include "stream_operations.pb.h"
#include "user_channels.pb.h"
#include "user_info.pb.h"

// What the emulated operator knows and how it behaves, read from a scenario
// file (emulator/README.md describes the format). Times are UTC seconds.

struct TimeOffsetEntry
{
    int id = 0;
    int minutes = 0;  // negative: back in time
};

struct CategoryEntry
{
    int id = 0;
    QString caption;
};

struct TelecastEntry
{
    int id = 0;
    qint64 start = 0;
    qint64 stop = 0;
    QString title;
};

struct AudioTrackEntry
{
    int pid = 0;
    QString language;
};

// How OpenStream answers for a channel. An empty address or a zero port
// stands for the emulator's own; the url may hold {channel} and {offset}.
struct StreamEntry
{
    std::optional<proto::OpenStreamResponse::Result> result;
    proto::StreamScheme scheme = proto::HTTP_UDP;
    QString address;
    int port = 0;
    QString url = "/stream/{channel}?offset={offset}";
};

struct ChannelEntry
{
    enum class Guide { Generated, None, Listed };

    int id = 0;
    QString name;
    bool available = true;  // false: closed, not in the subscriber's packages
    bool hidden = false;
    bool hasIcon = true;
    QList<int> offsets;  // time-offset ids, the live one first
    QList<int> categories;
    Guide guide = Guide::Generated;
    int slotMinutes = 0;             // 0: the guide plan's
    QList<TelecastEntry> telecasts;  // when Listed
    QString sample;                  // empty: the default sample
    QList<AudioTrackEntry> audioTracks;
    StreamEntry stream;
};

// Back-to-back telecasts over whole server-local days around today.
struct GuidePlan
{
    bool enabled = false;
    int daysBefore = 0;
    int daysAfter = 0;
    int slotMinutes = 30;
    QStringList titles;  // empty: built-in titles
};

// A newer version of the player on the update server, and how its offer
// goes wrong. {host} in the change-log URL becomes the request's Host.
struct UpdateOffer
{
    enum class Fault {
        None,
        NoVersionFile,   // version.txt is 404
        GarbageVersion,  // version.txt holds no version
        Truncated,       // product.zip stops half-way, then the connection closes
        NotZip,          // product.zip is no ZIP archive (its digest is published)
        Stall,           // product.zip stops half-way, the connection stays open
        WrongDigest,     // version.txt publishes the digest of no bytes
    };

    QString version;
    QString changelog = "http://{host}/iptv/zmplayer/changelog.html";
    QString archive;  // the file served as product.zip
    bool publishDigest = true;
    Fault fault = Fault::None;
};

struct Scenario
{
    static constexpr const char* kDefaultSample = "test-pattern.ts";

    QStringList acceptedMacs{"*"};  // upper-case hex without separators; "*" accepts any
    QString token = "emulator-token";
    std::optional<int> ttl;

    std::optional<qint64> clockStart;  // the emulator's clock starts here instead of now
    int utcOffset = 0;
    QString zoneName = "UTC";
    QString zonePosix = "UTC0";

    proto::UserInfo userInfo;
    std::optional<proto::StbSettings> settings;
    std::optional<proto::UserChannelData> ownChannelList;
    std::optional<proto::UserChannelData> sharedChannelList;
    QString closeChannelImageUrl = "http://{host}/images/channel-deny.png";
    QString portalScript;  // run by the portal page after its own script
    std::optional<int> updateInterval;

    QList<TimeOffsetEntry> offsets;
    QList<CategoryEntry> categories;
    GuidePlan guide;
    QList<ChannelEntry> channels;

    QJsonObject faults;
    std::optional<UpdateOffer> update;

    static std::optional<Scenario> load(const QString& path, QString* error);
    static std::optional<Scenario> fromJson(const QJsonObject& json, QString* error);
};

// "00:1a-2B..." -> "001A2B...", as scenarios and requests are compared.
QString normalisedMac(const QString& mac);
