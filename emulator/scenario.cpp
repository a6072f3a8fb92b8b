#include "scenario.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>

#include "jsonfields.h"

namespace {

QString indexed(const QString& list, qsizetype index)
{
    return QString("%1[%2]").arg(list).arg(index);
}

// Builds a Scenario from its JSON, section by section; the first problem
// found is the error.
class ScenarioReader
{
public:
    std::optional<Scenario> read(const QJsonObject& json);
    QString error() const { return m_error; }

private:
    bool readAuth(const QJsonObject& json);
    bool readTime(const QJsonObject& json);
    bool readUserInfo(const QJsonObject& json);
    bool readSettings(const QJsonObject& json);
    bool readChannelVolume(const QJsonObject& json, proto::ChannelVolume* volume);
    bool readUserChannels(const QJsonObject& json);
    bool readUserChannelList(const QJsonObject& json, const QString& where,
                             std::optional<proto::UserChannelData>* list);
    bool readOffsets(const QJsonArray& json);
    bool readCategories(const QJsonArray& json);
    bool readGuide(const QJsonObject& json);
    bool readChannels(const QJsonArray& json);
    bool readGeneratedChannels(const QJsonObject& json);
    bool readChannel(const QJsonObject& json, const QString& where, ChannelEntry* channel);
    bool readChannelGuide(const QJsonValue& json, const QString& where, ChannelEntry* channel);
    bool readTelecast(const QJsonObject& json, const QString& where, TelecastEntry* telecast);
    bool readAudioTracks(const QJsonArray& json, const QString& where, ChannelEntry* channel);
    bool readStream(const QJsonObject& json, const QString& where, StreamEntry* stream);
    bool checkUniqueChannelIds();
    bool readUpdate(const QJsonObject& json);

    Scenario m_scenario;
    QString m_error;
};

std::optional<Scenario> ScenarioReader::read(const QJsonObject& json)
{
    JsonFields fields(json, "scenario", &m_error);
    QJsonObject auth, time, userInfo, settings, userChannels, guide, generated, update;
    QJsonArray offsets, categories, channels;
    if (!fields.allowOnly({"name", "description", "auth", "time", "userInfo", "settings",
                           "userChannels", "closeChannelImageUrl", "portalScript", "updateInterval",
                           "offsets", "categories", "guide", "channels", "generatedChannels",
                           "faults", "update"}) ||
        !fields.object("auth", &auth) || !fields.object("time", &time) ||
        !fields.object("userInfo", &userInfo) || !fields.object("settings", &settings) ||
        !fields.object("userChannels", &userChannels) || !fields.object("guide", &guide) ||
        !fields.object("generatedChannels", &generated) || !fields.array("offsets", &offsets) ||
        !fields.array("categories", &categories) || !fields.array("channels", &channels) ||
        !fields.object("faults", &m_scenario.faults) || !fields.object("update", &update) ||
        !fields.text("closeChannelImageUrl", &m_scenario.closeChannelImageUrl) ||
        !fields.text("portalScript", &m_scenario.portalScript) ||
        !fields.integer("updateInterval",
                        [this](int value) { m_scenario.updateInterval = value; })) {
        return std::nullopt;
    }
    const bool ok = readAuth(auth) && readTime(time) && readUserInfo(userInfo) &&
                    (!json.contains("settings") || readSettings(settings)) &&
                    readUserChannels(userChannels) && readOffsets(offsets) &&
                    readCategories(categories) && (!json.contains("guide") || readGuide(guide)) &&
                    readChannels(channels) && readGeneratedChannels(generated) &&
                    checkUniqueChannelIds() && (!json.contains("update") || readUpdate(update));
    return ok ? std::optional(m_scenario) : std::nullopt;
}

bool ScenarioReader::readAuth(const QJsonObject& json)
{
    JsonFields fields(json, "auth", &m_error);
    QStringList macs = m_scenario.acceptedMacs;
    if (!fields.allowOnly({"macs", "token", "ttl"}) || !fields.texts("macs", &macs) ||
        !fields.text("token", &m_scenario.token) ||
        !fields.integer("ttl", [this](int value) { m_scenario.ttl = value; })) {
        return false;
    }
    m_scenario.acceptedMacs.clear();
    for (const QString& mac : macs)
        m_scenario.acceptedMacs.append(mac == "*" ? mac : normalisedMac(mac));
    return true;
}

bool ScenarioReader::readTime(const QJsonObject& json)
{
    JsonFields fields(json, "time", &m_error);
    return fields.allowOnly({"now", "utcOffset", "zone", "posix"}) &&
           fields.time("now", [this](qint64 value) { m_scenario.clockStart = value; }) &&
           fields.integer("utcOffset", &m_scenario.utcOffset) &&
           fields.text("zone", &m_scenario.zoneName) && fields.text("posix", &m_scenario.zonePosix);
}

bool ScenarioReader::readUserInfo(const QJsonObject& json)
{
    proto::UserInfo& info = m_scenario.userInfo;
    info.set_account_id(1);
    info.set_balance(0);
    info.set_cost(0);
    info.set_fullname("");
    info.set_tariff("");
    info.set_tv_packs("");
    info.set_is_vod(false);
    info.set_is_blocked(false);
    info.set_company_id(1);

    // "companyId": null stands for a server that leaves the field out.
    QJsonObject given = json;
    if (given.contains("companyId") && given.value("companyId").isNull()) {
        given.remove("companyId");
        info.clear_company_id();
    }
    JsonFields fields(given, "userInfo", &m_error);
    return fields.allowOnly({"accountId", "balance", "cost", "fullName", "tariff", "tvPacks", "vod",
                             "blocked", "companyId"}) &&
           fields.integer("accountId", [&info](int value) { info.set_account_id(value); }) &&
           fields.number("balance", [&info](double value) { info.set_balance(float(value)); }) &&
           fields.number("cost", [&info](double value) { info.set_cost(float(value)); }) &&
           fields.text("fullName",
                       [&info](const QString& value) { info.set_fullname(value.toStdString()); }) &&
           fields.text("tariff",
                       [&info](const QString& value) { info.set_tariff(value.toStdString()); }) &&
           fields.text("tvPacks",
                       [&info](const QString& value) { info.set_tv_packs(value.toStdString()); }) &&
           fields.boolean("vod", [&info](bool value) { info.set_is_vod(value); }) &&
           fields.boolean("blocked", [&info](bool value) { info.set_is_blocked(value); }) &&
           fields.integer("companyId", [&info](int value) { info.set_company_id(value); });
}

bool ScenarioReader::readSettings(const QJsonObject& json)
{
    proto::StbSettings settings;
    JsonFields fields(json, "settings", &m_error);
    QJsonObject channelVolume;
    const bool ok =
        fields.allowOnly({"volume", "brightness", "contrast", "channelVolume", "lastChannel",
                          "contentMode", "custom"}) &&
        fields.integer("volume", [&settings](int value) { settings.set_volume(value); }) &&
        fields.integer("brightness", [&settings](int value) { settings.set_brightness(value); }) &&
        fields.integer("contrast", [&settings](int value) { settings.set_contrast(value); }) &&
        fields.integer("lastChannel", [&settings](int v) { settings.set_last_channel(v); }) &&
        fields.integer("contentMode", [&settings](int v) { settings.set_content_mode(v); }) &&
        fields.object("channelVolume", &channelVolume) &&
        (channelVolume.isEmpty() ||
         readChannelVolume(channelVolume, settings.mutable_channel_volume()));
    if (!ok)
        return false;
    // The player keeps JSON text here; a scenario may give it as text or as JSON.
    const QJsonValue custom = json.value("custom");
    if (custom.isString())
        settings.set_custom(custom.toString().toStdString());
    else if (custom.isObject())
        settings.set_custom(
            QJsonDocument(custom.toObject()).toJson(QJsonDocument::Compact).toStdString());
    else if (!custom.isUndefined())
        return fields.fail("custom", "expected a string or an object");
    m_scenario.settings = settings;
    return true;
}

bool ScenarioReader::readChannelVolume(const QJsonObject& json, proto::ChannelVolume* volume)
{
    JsonFields fields(json, "settings.channelVolume", &m_error);
    bool enabled = false;
    QJsonArray records;
    if (!fields.allowOnly({"enabled", "records"}) || !fields.boolean("enabled", &enabled) ||
        !fields.array("records", &records)) {
        return false;
    }
    volume->set_enabled(enabled);
    for (qsizetype i = 0; i < records.size(); ++i) {
        JsonFields record(records[i].toObject(), indexed(fields.where("records"), i), &m_error);
        int channel = 0;
        int level = 0;
        if (!record.allowOnly({"channel", "volume"}) || !record.require({"channel", "volume"}) ||
            !record.integer("channel", &channel) || !record.integer("volume", &level)) {
            return false;
        }
        proto::ChannelVolume::Record* added = volume->add_record();
        added->set_id_channel(channel);
        added->set_volume(level);
    }
    return true;
}

bool ScenarioReader::readUserChannels(const QJsonObject& json)
{
    JsonFields fields(json, "userChannels", &m_error);
    QJsonObject own, shared;
    return fields.allowOnly({"own", "shared"}) && fields.object("own", &own) &&
           fields.object("shared", &shared) &&
           readUserChannelList(own, fields.where("own"), &m_scenario.ownChannelList) &&
           readUserChannelList(shared, fields.where("shared"), &m_scenario.sharedChannelList);
}

bool ScenarioReader::readUserChannelList(const QJsonObject& json, const QString& where,
                                         std::optional<proto::UserChannelData>* list)
{
    if (json.isEmpty())
        return true;
    JsonFields fields(json, where, &m_error);
    bool enabled = false;
    QList<int> ids;
    if (!fields.allowOnly({"enabled", "channels"}) || !fields.boolean("enabled", &enabled) ||
        !fields.integers("channels", &ids)) {
        return false;
    }
    proto::UserChannelData data;
    data.set_enabled(enabled);
    for (int id : ids)
        data.add_channel_id(id);
    *list = data;
    return true;
}

bool ScenarioReader::readOffsets(const QJsonArray& json)
{
    for (qsizetype i = 0; i < json.size(); ++i) {
        JsonFields fields(json[i].toObject(), indexed("offsets", i), &m_error);
        TimeOffsetEntry offset;
        if (!fields.allowOnly({"id", "minutes"}) || !fields.require({"id", "minutes"}) ||
            !fields.integer("id", &offset.id) || !fields.integer("minutes", &offset.minutes)) {
            return false;
        }
        m_scenario.offsets.append(offset);
    }
    return true;
}

bool ScenarioReader::readCategories(const QJsonArray& json)
{
    for (qsizetype i = 0; i < json.size(); ++i) {
        JsonFields fields(json[i].toObject(), indexed("categories", i), &m_error);
        CategoryEntry category;
        if (!fields.allowOnly({"id", "caption"}) || !fields.require({"id", "caption"}) ||
            !fields.integer("id", &category.id) || !fields.text("caption", &category.caption)) {
            return false;
        }
        m_scenario.categories.append(category);
    }
    return true;
}

bool ScenarioReader::readGuide(const QJsonObject& json)
{
    GuidePlan& guide = m_scenario.guide;
    JsonFields fields(json, "guide", &m_error);
    guide.enabled = true;
    if (!fields.allowOnly({"daysBefore", "daysAfter", "slotMinutes", "titles"}) ||
        !fields.integer("daysBefore", &guide.daysBefore) ||
        !fields.integer("daysAfter", &guide.daysAfter) ||
        !fields.integer("slotMinutes", &guide.slotMinutes) ||
        !fields.texts("titles", &guide.titles)) {
        return false;
    }
    if (guide.daysBefore < 0 || guide.daysAfter < 0)
        return fields.fail("daysBefore", "days cannot be negative");
    return guide.slotMinutes > 0 || fields.fail("slotMinutes", "must be positive");
}

bool ScenarioReader::readChannels(const QJsonArray& json)
{
    for (qsizetype i = 0; i < json.size(); ++i) {
        ChannelEntry channel;
        if (!readChannel(json[i].toObject(), indexed("channels", i), &channel))
            return false;
        m_scenario.channels.append(channel);
    }
    return true;
}

// Many alike channels from a few parameters, appended to the listed ones.
bool ScenarioReader::readGeneratedChannels(const QJsonObject& json)
{
    if (json.isEmpty())
        return true;
    JsonFields fields(json, "generatedChannels", &m_error);
    int count = 0;
    int firstId = 1;
    int closedEvery = 0;
    QString name = "Channel %1";
    ChannelEntry pattern;
    if (!fields.allowOnly(
            {"count", "firstId", "name", "offsets", "categories", "closedEvery", "icons"}) ||
        !fields.integer("count", &count) || !fields.integer("firstId", &firstId) ||
        !fields.text("name", &name) || !fields.integers("offsets", &pattern.offsets) ||
        !fields.integers("categories", &pattern.categories) ||
        !fields.integer("closedEvery", &closedEvery) ||
        !fields.boolean("icons", &pattern.hasIcon)) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        ChannelEntry channel = pattern;
        channel.id = firstId + i;
        channel.name = name.arg(i + 1);
        channel.available = closedEvery <= 0 || (i + 1) % closedEvery != 0;
        m_scenario.channels.append(channel);
    }
    return true;
}

bool ScenarioReader::readChannel(const QJsonObject& json, const QString& where,
                                 ChannelEntry* channel)
{
    JsonFields fields(json, where, &m_error);
    QJsonArray audioTracks;
    QJsonObject stream;
    return fields.allowOnly({"id", "name", "available", "hidden", "icon", "offsets", "categories",
                             "guide", "sample", "audioTracks", "stream"}) &&
           fields.require({"id", "name"}) && fields.integer("id", &channel->id) &&
           fields.text("name", &channel->name) &&
           fields.boolean("available", &channel->available) &&
           fields.boolean("hidden", &channel->hidden) &&
           fields.boolean("icon", &channel->hasIcon) &&
           fields.integers("offsets", &channel->offsets) &&
           fields.integers("categories", &channel->categories) &&
           fields.text("sample", &channel->sample) &&
           readChannelGuide(json.value("guide"), fields.where("guide"), channel) &&
           fields.array("audioTracks", &audioTracks) &&
           readAudioTracks(audioTracks, fields.where("audioTracks"), channel) &&
           fields.object("stream", &stream) &&
           readStream(stream, fields.where("stream"), &channel->stream);
}

// "generated" (the default), "none", {"slotMinutes": n} or a list of telecasts.
bool ScenarioReader::readChannelGuide(const QJsonValue& json, const QString& where,
                                      ChannelEntry* channel)
{
    if (json.isUndefined() || json.toString() == "generated")
        return true;
    if (json.toString() == "none") {
        channel->guide = ChannelEntry::Guide::None;
        return true;
    }
    if (json.isObject()) {
        JsonFields fields(json.toObject(), where, &m_error);
        return fields.allowOnly({"slotMinutes"}) &&
               fields.integer("slotMinutes", &channel->slotMinutes) &&
               (channel->slotMinutes > 0 || fields.fail("slotMinutes", "must be positive"));
    }
    if (!json.isArray()) {
        m_error = where + ": expected \"generated\", \"none\", {\"slotMinutes\": n} or a list";
        return false;
    }
    channel->guide = ChannelEntry::Guide::Listed;
    const QJsonArray telecasts = json.toArray();
    for (qsizetype i = 0; i < telecasts.size(); ++i) {
        TelecastEntry telecast;
        if (!readTelecast(telecasts[i].toObject(), indexed(where, i), &telecast))
            return false;
        channel->telecasts.append(telecast);
    }
    return true;
}

bool ScenarioReader::readTelecast(const QJsonObject& json, const QString& where,
                                  TelecastEntry* telecast)
{
    JsonFields fields(json, where, &m_error);
    return fields.allowOnly({"id", "title", "start", "stop"}) &&
           fields.require({"title", "start", "stop"}) && fields.integer("id", &telecast->id) &&
           fields.text("title", &telecast->title) &&
           fields.time("start", [telecast](qint64 value) { telecast->start = value; }) &&
           fields.time("stop", [telecast](qint64 value) { telecast->stop = value; });
}

bool ScenarioReader::readAudioTracks(const QJsonArray& json, const QString& where,
                                     ChannelEntry* channel)
{
    for (qsizetype i = 0; i < json.size(); ++i) {
        JsonFields fields(json[i].toObject(), indexed(where, i), &m_error);
        AudioTrackEntry track;
        if (!fields.allowOnly({"pid", "language"}) || !fields.require({"language"}) ||
            !fields.integer("pid", &track.pid) || !fields.text("language", &track.language)) {
            return false;
        }
        channel->audioTracks.append(track);
    }
    return true;
}

bool ScenarioReader::readStream(const QJsonObject& json, const QString& where, StreamEntry* stream)
{
    JsonFields fields(json, where, &m_error);
    QString result, scheme;
    if (!fields.allowOnly({"result", "scheme", "address", "port", "url"}) ||
        !fields.text("result", &result) || !fields.text("scheme", &scheme) ||
        !fields.text("address", &stream->address) || !fields.integer("port", &stream->port) ||
        !fields.text("url", &stream->url)) {
        return false;
    }
    proto::OpenStreamResponse::Result resultValue;
    if (!result.isEmpty()) {
        if (!proto::OpenStreamResponse::Result_Parse(result.toStdString(), &resultValue))
            return fields.fail("result", "not an OpenStreamResponse result: " + result);
        stream->result = resultValue;
    }
    if (!scheme.isEmpty() && !proto::StreamScheme_Parse(scheme.toStdString(), &stream->scheme))
        return fields.fail("scheme", "not a StreamScheme: " + scheme);
    return true;
}

bool ScenarioReader::checkUniqueChannelIds()
{
    QSet<int> ids;
    for (const ChannelEntry& channel : m_scenario.channels) {
        if (ids.contains(channel.id)) {
            m_error = QString("channels: id %1 is used twice").arg(channel.id);
            return false;
        }
        ids.insert(channel.id);
    }
    return true;
}

bool ScenarioReader::readUpdate(const QJsonObject& json)
{
    static const QHash<QString, UpdateOffer::Fault> faultNames = {
        {"none", UpdateOffer::Fault::None},
        {"no-version-file", UpdateOffer::Fault::NoVersionFile},
        {"garbage-version", UpdateOffer::Fault::GarbageVersion},
        {"truncated", UpdateOffer::Fault::Truncated},
        {"not-zip", UpdateOffer::Fault::NotZip},
        {"stall", UpdateOffer::Fault::Stall},
        {"wrong-digest", UpdateOffer::Fault::WrongDigest},
    };
    UpdateOffer offer;
    QString fault = "none";
    JsonFields fields(json, "update", &m_error);
    if (!fields.allowOnly({"version", "changelog", "archive", "digest", "fault"}) ||
        !fields.require({"version", "archive"}) || !fields.text("version", &offer.version) ||
        !fields.text("changelog", &offer.changelog) || !fields.text("archive", &offer.archive) ||
        !fields.boolean("digest", &offer.publishDigest) || !fields.text("fault", &fault)) {
        return false;
    }
    if (!faultNames.contains(fault))
        return fields.fail("fault", "unknown fault " + fault);
    offer.fault = faultNames.value(fault);
    m_scenario.update = offer;
    return true;
}

}  // namespace

std::optional<Scenario> Scenario::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QString("cannot read the scenario %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        *error = QString("%1: not a JSON object (%2 at offset %3)")
                     .arg(path, parseError.errorString())
                     .arg(parseError.offset);
        return std::nullopt;
    }
    std::optional<Scenario> scenario = fromJson(document.object(), error);
    if (!scenario)
        *error = path + ": " + *error;
    return scenario;
}

std::optional<Scenario> Scenario::fromJson(const QJsonObject& json, QString* error)
{
    ScenarioReader reader;
    std::optional<Scenario> scenario = reader.read(json);
    if (!scenario)
        *error = reader.error();
    return scenario;
}

QString normalisedMac(const QString& mac)
{
    QString hex = mac.toUpper();
    hex.remove(':');
    hex.remove('-');
    return hex;
}
