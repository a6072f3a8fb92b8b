// The emulator's RPC methods over real sockets, as the player calls them.

#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "auth.pb.h"
#include "channel.pb.h"
#include "emulatorprocess.h"
#include "ping.pb.h"
#include "rawhttp.h"
#include "rpcclient.h"
#include "stb_files.pb.h"
#include "stb_params.pb.h"
#include "stream_operations.pb.h"
#include "testscenario.h"
#include "time.pb.h"
#include "user_channels.pb.h"
#include "user_info.pb.h"

class TestEmulatorRpc : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void authAcceptsListedMacsInAnySpelling_data();
    void authAcceptsListedMacsInAnySpelling();
    void authRefusesAnUnlistedMac();
    void requestsNeedTheTokenThatAuthHandedOut();
    void getTimeAnswersNowAndTheUtcOffset();
    void clockCanStartAtAChosenMoment();
    void getUserInfoAnswersTheScenario();
    void getChannelsWithEverything();
    void getChannelsWithoutGuideOffsetsOrIcons();
    void generatedGuideCoversWholeDaysAroundNow();
    void listedGuideKeepsGivenIdsAndNumbersTheRest();
    void openStreamAnswersHttpOnTheEmulatorsPort();
    void openStreamAnswersConfiguredSchemes();
    void openStreamRefusesClosedAndUnknownChannels();
    void updateAndCloseStreamCheckTheStreamId();
    void getImageUrlPointsAtTheEmulatorsPicture();
    void setStbSettingsReplacesTheFieldsItCarries();
    void userChannelListsAreKeptPerUseShared();
    void unknownPathsAnswer404();
    void unparsableBodiesAnswer400();
    void requestsAreLoggedWithHeadersAndMessage();
    void logFileGetsTheSameLines();
    void pipelinedRequestsAreAnsweredInOrder();

private:
    bool authorize();
    bool call(const QString& method, const google::protobuf::Message& request,
              google::protobuf::Message* response);
    proto::ChannelListResponse channels(bool everything);
    proto::OpenStreamResponse openStream(int channelId, std::optional<int> offsetId = {});

    std::unique_ptr<EmulatorProcess> m_emulator;
    std::unique_ptr<RpcClient> m_client;
    std::string m_token;
};

void TestEmulatorRpc::init()
{
    m_emulator = std::make_unique<EmulatorProcess>();
    QVERIFY(m_emulator->start(TestScenario::json()));
    m_client = std::make_unique<RpcClient>(m_emulator->host());
    m_token.clear();
}

void TestEmulatorRpc::cleanup()
{
    m_client.reset();
    m_emulator.reset();
}

bool TestEmulatorRpc::authorize()
{
    m_token = m_client->authorize(TestScenario::kMac).toStdString();
    return m_token == TestScenario::kToken;
}

bool TestEmulatorRpc::call(const QString& method, const google::protobuf::Message& request,
                           google::protobuf::Message* response)
{
    const HttpAnswer answer = m_client->call(method, request);
    return answer.error == QNetworkReply::NoError && answer.status == 200 &&
           answer.contentType == "application/x-protobuf" && answer.parse(response);
}

proto::ChannelListResponse TestEmulatorRpc::channels(bool everything)
{
    proto::ChannelListRequest request;
    request.set_auth(m_token);
    request.set_need_icons(everything);
    request.set_need_epg(everything);
    request.set_need_offsets(everything);
    request.set_need_categories(everything);
    proto::ChannelListResponse response;
    if (!call("GetChannels", request, &response))
        response.Clear();
    return response;
}

proto::OpenStreamResponse TestEmulatorRpc::openStream(int channelId, std::optional<int> offsetId)
{
    proto::OpenStreamRequest request;
    request.set_auth(m_token);
    request.set_channel_id(channelId);
    if (offsetId)
        request.set_offset_id(*offsetId);
    request.add_accept_scheme(proto::Multicast_UDP);
    request.add_accept_scheme(proto::HTTP_UDP);
    proto::OpenStreamResponse response;
    if (!call("OpenStream", request, &response))
        response.Clear();
    return response;
}

void TestEmulatorRpc::authAcceptsListedMacsInAnySpelling_data()
{
    QTest::addColumn<QString>("mac");
    QTest::newRow("bare") << "001122334455";
    QTest::newRow("colons") << "00:11:22:33:44:55";
    QTest::newRow("lower-case dashes") << "aa-bb-cc-dd-ee-01";
}

void TestEmulatorRpc::authAcceptsListedMacsInAnySpelling()
{
    QFETCH(QString, mac);
    proto::AuthRequest request;
    request.mutable_device()->set_type(proto::DT_IPTV_Player);
    request.mutable_device()->set_mac(mac.toStdString());
    proto::AuthResponse response;
    QVERIFY(call("Auth", request, &response));
    QCOMPARE(response.status(), proto::AuthResponse::OK);
    QCOMPARE(response.auth_token(), std::string(TestScenario::kToken));
    QCOMPARE(response.ttl(), 1800u);
    QCOMPARE(response.company_id(), 2);
}

void TestEmulatorRpc::authRefusesAnUnlistedMac()
{
    proto::AuthRequest request;
    request.mutable_device()->set_type(proto::DT_IPTV_Player);
    request.mutable_device()->set_mac("001122334456");
    proto::AuthResponse response;
    QVERIFY(call("Auth", request, &response));
    QCOMPARE(response.status(), proto::AuthResponse::WrongUser);
    QVERIFY(!response.has_auth_token());
}

void TestEmulatorRpc::requestsNeedTheTokenThatAuthHandedOut()
{
    proto::TimeRequest request;
    request.set_auth(TestScenario::kToken);
    proto::TimeResponse response;
    QVERIFY(call("GetTime", request, &response));
    QCOMPARE(response.status(), proto::TimeResponse::NoAuth);  // no Auth yet

    QVERIFY(authorize());
    request.set_auth("t-12");
    QVERIFY(call("GetTime", request, &response));
    QCOMPARE(response.status(), proto::TimeResponse::NoAuth);
    QVERIFY(!response.has_time());

    request.set_auth(TestScenario::kToken);
    QVERIFY(call("GetTime", request, &response));
    QCOMPARE(response.status(), proto::TimeResponse::OK);

    // GetImageUrl's result enum has no NoAuth; its 1 is the refusal.
    proto::GetImageUrlRequest image;
    image.mutable_device()->set_type(proto::DT_IPTV_Player);
    image.set_image(proto::STB_IMG_Channel_Deny_zmp);
    image.set_auth("wrong");
    proto::GetImageUrlResponse imageResponse;
    QVERIFY(call("GetImageUrl", image, &imageResponse));
    QCOMPARE(imageResponse.status(), proto::GetImageUrlResponse::UnknownDevice);
    QVERIFY(!imageResponse.has_url());
}

void TestEmulatorRpc::getTimeAnswersNowAndTheUtcOffset()
{
    QVERIFY(authorize());
    proto::TimeRequest request;
    request.set_auth(m_token);
    proto::TimeResponse response;
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    QVERIFY(call("GetTime", request, &response));
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    QCOMPARE(response.status(), proto::TimeResponse::OK);
    QVERIFY(qint64(response.time()) >= before && qint64(response.time()) <= after);
    QCOMPARE(response.time_zone().current_utc_offset(), TestScenario::kUtcOffset);
    QCOMPARE(response.time_zone().name(), std::string("Europe/Kaliningrad"));
    QCOMPARE(response.time_zone().posix(), std::string("EET-2"));
}

void TestEmulatorRpc::clockCanStartAtAChosenMoment()
{
    const qint64 start = QDateTime(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC).toSecsSinceEpoch();
    QJsonObject scenario = TestScenario::json();
    scenario["time"] = QJsonObject{{"now", "2024-05-01T12:00:00Z"}, {"utcOffset", 10800}};
    EmulatorProcess emulator;
    QVERIFY(emulator.start(scenario));
    RpcClient client(emulator.host());
    m_token = client.authorize(TestScenario::kMac).toStdString();

    proto::TimeRequest request;
    request.set_auth(m_token);
    proto::TimeResponse time;
    QVERIFY(client.call("GetTime", request).parse(&time));
    QVERIFY(qint64(time.time()) >= start && qint64(time.time()) < start + 30);

    proto::ChannelListRequest channels;
    channels.set_auth(m_token);
    channels.set_need_icons(false);
    channels.set_need_epg(true);
    channels.set_need_offsets(false);
    proto::ChannelListResponse list;
    QVERIFY(client.call("GetChannels", channels).parse(&list));
    // Local midnight of the day before, at UTC+3.
    const qint64 guideStart = start - 12 * 3600 - 3 * 3600 - 86400;
    QCOMPARE(list.list(0).epg(0).time_start(), guideStart);
}

void TestEmulatorRpc::getUserInfoAnswersTheScenario()
{
    QVERIFY(authorize());
    proto::GetUserInfoRequest request;
    request.set_auth(m_token);
    proto::GetUserInfoResponse response;
    QVERIFY(call("GetUserInfo", request, &response));
    QCOMPARE(response.status(), proto::GetUserInfoResponse::OK);
    const proto::UserInfo& info = response.info();
    QCOMPARE(info.account_id(), 42);
    QCOMPARE(info.balance(), -3.75f);
    QCOMPARE(info.cost(), 150.0f);
    QCOMPARE(QString::fromStdString(info.fullname()), QString("Петров Пётр"));
    QCOMPARE(QString::fromStdString(info.tariff()), QString("Базовый"));
    QCOMPARE(QString::fromStdString(info.tv_packs()), QString("Базовый, Кино"));
    QVERIFY(info.is_vod());
    QVERIFY(info.is_blocked());
    QCOMPARE(info.company_id(), 2);
}

void TestEmulatorRpc::getChannelsWithEverything()
{
    QVERIFY(authorize());
    const proto::ChannelListResponse response = channels(true);
    QCOMPARE(response.status(), proto::ChannelListResponse::OK);
    QCOMPARE(response.list_size(), TestScenario::kChannelCount);

    const QList<int> guideSizes = {
        TestScenario::kGeneratedPerChannel, 2,
        TestScenario::kGeneratedPerChannel, 0,
        TestScenario::kGeneratedPerChannel, TestScenario::kGeneratedPerChannel};
    for (int i = 0; i < response.list_size(); ++i) {
        const proto::Channel& channel = response.list(i);
        QCOMPARE(channel.id(), i + 1);
        QCOMPARE(channel.epg_size(), guideSizes[i]);
        QCOMPARE(channel.available(), channel.id() != 3);
        QCOMPARE(channel.has_icon(), channel.id() != 2);
        if (channel.has_icon())
            QVERIFY(QImage::fromData(QByteArray::fromStdString(channel.icon())).width() == 48);
    }
    QCOMPARE(QString::fromStdString(response.list(0).name()), QString("Первый"));
    QCOMPARE(QList<int>(response.list(0).offset().begin(), response.list(0).offset().end()),
             QList<int>({1, 7, 8}));
    QCOMPARE(response.list(1).offset_size(), 0);
    QCOMPARE(response.list(0).category_size(), 1);

    QCOMPARE(response.offsets_size(), 3);
    QCOMPARE(response.offsets(1).id(), 7);
    QCOMPARE(response.offsets(1).offset(), -60);
    QCOMPARE(response.offsets(2).offset(), -120);
    QCOMPARE(response.categories_size(), 1);
    QCOMPARE(QString::fromStdString(response.categories(0).caption()), QString("Новости"));
}

void TestEmulatorRpc::getChannelsWithoutGuideOffsetsOrIcons()
{
    QVERIFY(authorize());
    const proto::ChannelListResponse response = channels(false);
    QCOMPARE(response.status(), proto::ChannelListResponse::OK);
    QCOMPARE(response.list_size(), TestScenario::kChannelCount);
    for (const proto::Channel& channel : response.list()) {
        QCOMPARE(channel.epg_size(), 0);
        QCOMPARE(channel.offset_size(), 0);
        QCOMPARE(channel.category_size(), 0);
        QVERIFY(!channel.has_icon());
        QVERIFY(!channel.name().empty());
    }
    QCOMPARE(response.offsets_size(), 0);
    QCOMPARE(response.categories_size(), 0);
}

void TestEmulatorRpc::generatedGuideCoversWholeDaysAroundNow()
{
    QVERIFY(authorize());
    const proto::ChannelListResponse response = channels(true);
    QCOMPARE(response.list_size(), TestScenario::kChannelCount);
    const auto& guide = response.list(0).epg();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const qint64 first = guide.begin()->time_start();
    QCOMPARE((first + TestScenario::kUtcOffset) % 86400, 0);  // a server-local midnight
    QCOMPARE(guide.rbegin()->time_stop() - first, 3 * 86400);
    QVERIFY(first <= now && now < guide.rbegin()->time_stop());
    QSet<int> ids;
    for (int i = 0; i < guide.size(); ++i) {
        QCOMPARE(guide[i].time_stop() - guide[i].time_start(), 3600);
        if (i > 0)
            QCOMPARE(guide[i].time_start(), guide[i - 1].time_stop());
        QVERIFY(!guide[i].text().empty());
        ids.insert(guide[i].id());
    }
    QCOMPARE(ids.size(), guide.size());
}

void TestEmulatorRpc::listedGuideKeepsGivenIdsAndNumbersTheRest()
{
    QVERIFY(authorize());
    const proto::ChannelListResponse response = channels(true);
    QCOMPARE(response.list_size(), TestScenario::kChannelCount);
    const auto& listed = response.list(1).epg();
    QCOMPARE(listed.size(), 2);
    QCOMPARE(QString::fromStdString(listed[0].text()), QString("Утро"));
    QCOMPARE(listed[0].time_start(), TestScenario::listedStart() - 1800);
    QCOMPARE(listed[1].id(), 900);
    QSet<int> ids;
    for (const proto::Channel& channel : response.list()) {
        for (const proto::EpgRecord& record : channel.epg())
            ids.insert(record.id());
    }
    QCOMPARE(ids.size(), TestScenario::kTelecastCount);
}

void TestEmulatorRpc::openStreamAnswersHttpOnTheEmulatorsPort()
{
    QVERIFY(authorize());
    const proto::OpenStreamResponse first = openStream(1, 7);
    QCOMPARE(first.result(), proto::OpenStreamResponse::OK);
    QCOMPARE(first.scheme(), proto::HTTP_UDP);
    QCOMPARE(first.http_stream().host().address(), std::string("127.0.0.1"));
    QCOMPARE(first.http_stream().host().port(), int(m_emulator->port()));
    QCOMPARE(first.http_stream().url(), std::string("/stream/1?offset=7"));
    QCOMPARE(first.update_interval(), uint32_t(TestScenario::kUpdateInterval));
    QVERIFY(first.stream_id() > 0);
    QVERIFY(!first.has_multicast_group());

    const proto::OpenStreamResponse live = openStream(1);
    QCOMPARE(live.http_stream().url(), std::string("/stream/1?offset=1"));
    QVERIFY(live.stream_id() != first.stream_id());
}

void TestEmulatorRpc::openStreamAnswersConfiguredSchemes()
{
    QVERIFY(authorize());
    const proto::OpenStreamResponse multicast = openStream(4);
    QCOMPARE(multicast.result(), proto::OpenStreamResponse::OK);
    QCOMPARE(multicast.scheme(), proto::Multicast_UDP);
    QCOMPARE(multicast.multicast_group().address(), std::string("239.1.2.3"));
    QCOMPARE(multicast.multicast_group().port(), 5500);
    QVERIFY(!multicast.has_http_stream());

    const proto::OpenStreamResponse secure = openStream(5);
    QCOMPARE(secure.scheme(), proto::Multicast_SUDP);
    QCOMPARE(secure.multicast_group().port(), 5501);

    const proto::OpenStreamResponse tracks = openStream(6);
    QCOMPARE(tracks.scheme(), proto::HTTP_UDP);
    QCOMPARE(tracks.audio_tracks_size(), 2);
    QCOMPARE(tracks.audio_tracks(0).lang_code(), std::string("rus"));
    QCOMPARE(tracks.audio_tracks(1).pid(), 258);
}

void TestEmulatorRpc::openStreamRefusesClosedAndUnknownChannels()
{
    QVERIFY(authorize());
    const proto::OpenStreamResponse closed = openStream(3);
    QCOMPARE(closed.result(), proto::OpenStreamResponse::Deny);
    QVERIFY(!closed.has_stream_id());
    QCOMPARE(openStream(99).result(), proto::OpenStreamResponse::NotFound);
}

void TestEmulatorRpc::updateAndCloseStreamCheckTheStreamId()
{
    QVERIFY(authorize());
    const int streamId = openStream(1).stream_id();
    QVERIFY(streamId > 0);

    proto::UpdateStreamRequest update;
    update.set_auth(m_token);
    update.set_stream_id(streamId);
    proto::UpdateStreamResponse updated;
    QVERIFY(call("UpdateStream", update, &updated));
    QCOMPARE(updated.result(), proto::UpdateStreamResponse::OK);
    update.set_stream_id(streamId + 1000);
    QVERIFY(call("UpdateStream", update, &updated));
    QCOMPARE(updated.result(), proto::UpdateStreamResponse::NotFound);

    proto::CloseStreamRequest close;
    close.set_auth(m_token);
    close.set_stream_id(streamId);
    proto::CloseStreamResponse closed;
    QVERIFY(call("CloseStream", close, &closed));
    QCOMPARE(closed.result(), proto::CloseStreamResponse::OK);
    QVERIFY(call("CloseStream", close, &closed));
    QCOMPARE(closed.result(), proto::CloseStreamResponse::NoAuth);  // its only refusal

    update.set_stream_id(streamId);
    QVERIFY(call("UpdateStream", update, &updated));
    QCOMPARE(updated.result(), proto::UpdateStreamResponse::NotFound);
}

void TestEmulatorRpc::getImageUrlPointsAtTheEmulatorsPicture()
{
    QVERIFY(authorize());
    proto::GetImageUrlRequest request;
    request.mutable_device()->set_type(proto::DT_IPTV_Player);
    request.set_auth(m_token);
    request.set_image(proto::STB_IMG_Channel_Deny_zmp);
    proto::GetImageUrlResponse response;
    QVERIFY(call("GetImageUrl", request, &response));
    QCOMPARE(response.status(), proto::GetImageUrlResponse::OK);
    const QString url = QString::fromStdString(response.url());
    QCOMPARE(url, "http://" + m_emulator->host() + "/images/channel-deny.png");

    const HttpAnswer picture = m_client->get(QUrl(url).path());
    QCOMPARE(picture.status, 200);
    QCOMPARE(picture.contentType, QByteArray("image/png"));
    QCOMPARE(QImage::fromData(picture.body).size(), QSize(640, 360));
}

void TestEmulatorRpc::setStbSettingsReplacesTheFieldsItCarries()
{
    QVERIFY(authorize());
    proto::GetStbSettingsRequest get;
    get.set_auth(m_token);
    proto::GetStbSettingsResponse stored;
    QVERIFY(call("GetStbSettings", get, &stored));
    QCOMPARE(stored.result(), proto::GetStbSettingsResponse::OK);
    QCOMPARE(stored.data().volume(), 45);
    QCOMPARE(stored.data().channel_volume().record_size(), 1);
    QCOMPARE(stored.data().channel_volume().record(0).volume(), 70);

    proto::SetStbSettingsRequest set;
    set.set_auth(m_token);
    set.mutable_data()->set_volume(30);
    proto::ChannelVolume* volumes = set.mutable_data()->mutable_channel_volume();
    volumes->set_enabled(true);
    for (const auto& [channel, volume] : {std::pair{1, 90}, std::pair{4, 20}}) {
        proto::ChannelVolume::Record* record = volumes->add_record();
        record->set_id_channel(channel);
        record->set_volume(volume);
    }
    proto::SetStbSettingsResponse saved;
    QVERIFY(call("SetStbSettings", set, &saved));
    QCOMPARE(saved.result(), proto::SetStbSettingsResponse::OK);

    QVERIFY(call("GetStbSettings", get, &stored));
    QCOMPARE(stored.data().volume(), 30);
    QCOMPARE(stored.data().channel_volume().record_size(), 2);
    QCOMPARE(stored.data().channel_volume().record(1).id_channel(), 4);
    QCOMPARE(stored.data().custom(), std::string("{\"test\":5}"));  // not sent, so kept
}

void TestEmulatorRpc::userChannelListsAreKeptPerUseShared()
{
    QVERIFY(authorize());
    const auto listOf = [this](bool shared) {
        proto::UserChannelRequest request;
        request.set_auth(m_token);
        request.set_use_shared(shared);
        proto::UserChannelResponse response;
        if (!call("GetUserChannel", request, &response) ||
            response.result() != proto::UserChannelResponse::OK) {
            return QList<int>{-1};
        }
        const auto& ids = response.data().channel_id();
        return response.has_data() ? QList<int>(ids.begin(), ids.end()) : QList<int>{};
    };
    QCOMPARE(listOf(false), QList<int>({3, 1}));
    QCOMPARE(listOf(true), QList<int>());

    proto::SetUserChannelRequest set;
    set.set_auth(m_token);
    set.set_use_shared(true);
    set.mutable_data()->set_enabled(true);
    set.mutable_data()->add_channel_id(6);
    set.mutable_data()->add_channel_id(5);
    proto::SetUserChannelResponse saved;
    QVERIFY(call("SetUserChannel", set, &saved));
    QCOMPARE(saved.result(), proto::SetUserChannelResponse::OK);

    QCOMPARE(listOf(true), QList<int>({6, 5}));
    QCOMPARE(listOf(false), QList<int>({3, 1}));
}

void TestEmulatorRpc::unknownPathsAnswer404()
{
    proto::PingRequest ping;
    ping.set_sequence(1);
    const QByteArray body = QByteArray::fromStdString(ping.SerializeAsString());
    QCOMPARE(m_client->post("/server/TvServerService/Ping.pb", body).status, 404);
    QCOMPARE(m_client->post("/server/NoService/Auth.pb", {}).status, 404);
    QCOMPARE(m_client->post("/server/TvServerService/Auth", {}).status, 404);
    QCOMPARE(m_client->get("/server/TvServerService/Auth.pb").status, 404);
    QCOMPARE(m_client->get("/nowhere").status, 404);
    QCOMPARE(m_client->get("/stream/99").status, 404);
    QCOMPARE(m_client->get("/icons/2.png").status, 404);  // channel 2 has no icon
    QCOMPARE(m_client->get("/icons/1.png").status, 200);
    QVERIFY(m_emulator->waitForRequests(8));
}

void TestEmulatorRpc::unparsableBodiesAnswer400()
{
    QVERIFY(authorize());
    QCOMPARE(m_client->post("/server/TvServerService/GetTime.pb", QByteArray(12, '\xff')).status,
             400);
    QCOMPARE(m_client->post("/server/TvServerService/GetTime.pb", {}).status, 400);
    const QList<EmulatorRequest> logged = m_emulator->requests("GetTime");
    QCOMPARE(logged.size(), 2);
    QCOMPARE(logged[0].error, QString("proto.TimeRequest: malformed"));
    QVERIFY2(logged[1].error.contains("missing auth"), qPrintable(logged[1].error));
    QVERIFY(logged[1].message.isEmpty());
}

void TestEmulatorRpc::requestsAreLoggedWithHeadersAndMessage()
{
    proto::AuthRequest request;
    request.mutable_device()->set_type(proto::DT_IPTV_Player);
    request.mutable_device()->set_mac(TestScenario::kMac);
    request.mutable_device()->mutable_firmware()->set_versioncode(0);
    request.mutable_device()->mutable_firmware()->set_versionstring("2.2.16");
    proto::AuthResponse response;
    QVERIFY(call("Auth", request, &response));
    m_client->get("/images/channel-deny.png");

    const QList<EmulatorRequest> logged = m_emulator->requests();
    QCOMPARE(logged.size(), 2);
    const EmulatorRequest& auth = logged[0];
    QCOMPARE(auth.method, QString("POST"));
    QCOMPARE(auth.path, QString("/server/TvServerService/Auth.pb"));
    QCOMPARE(auth.rpc, QString("Auth"));
    QCOMPARE(auth.headers.value("host"), m_emulator->host());
    QCOMPARE(auth.headers.value("content-type"), QString("application/x-protobuf"));
    QCOMPARE(auth.headers.value("content-length"), QString::number(request.ByteSizeLong()));
    QCOMPARE(auth.message,
             QString("device { type: DT_IPTV_Player mac: \"001122334455\" firmware { versionCode: "
                     "0 versionString: \"2.2.16\" } }"));

    const EmulatorRequest& image = logged[1];
    QCOMPARE(image.method, QString("GET"));
    QCOMPARE(image.path, QString("/images/channel-deny.png"));
    QVERIFY(image.rpc.isEmpty() && image.message.isEmpty());
}

void TestEmulatorRpc::logFileGetsTheSameLines()
{
    const QTemporaryDir directory;
    const QString logPath = directory.filePath("requests.jsonl");
    EmulatorProcess emulator;
    QVERIFY(emulator.start(TestScenario::json(), {"--log", logPath}));
    RpcClient client(emulator.host());
    QVERIFY(!client.authorize(TestScenario::kMac).isEmpty());
    QCOMPARE(client.get("/nowhere").status, 404);

    const QList<EmulatorRequest> logged = emulator.requests();
    QFile file(logPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), logged.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QJsonObject line = QJsonDocument::fromJson(lines[i]).object();
        QCOMPARE(line["path"].toString(), logged[i].path);
        QCOMPARE(line["message"].toString(), logged[i].message);
    }
}

void TestEmulatorRpc::pipelinedRequestsAreAnsweredInOrder()
{
    // The first answer is held back; the second must still come after it.
    EmulatorProcess emulator;
    QVERIFY(emulator.start(TestScenario::json(), {"--fault", "GetTime:delay=300"}));
    RpcClient client(emulator.host());
    const std::string token = client.authorize(TestScenario::kMac).toStdString();
    QVERIFY(!token.empty());

    proto::TimeRequest time;
    time.set_auth(token);
    proto::GetUserInfoRequest user;
    user.set_auth(token);
    const QByteArray host = emulator.host().toLatin1();
    RawHttpConnection connection;
    QVERIFY(connection.connectTo(emulator.port()));
    connection.send(rawPost("/server/TvServerService/GetTime.pb", host,
                            QByteArray::fromStdString(time.SerializeAsString())) +
                    rawPost("/server/TvServerService/GetUserInfo.pb", host,
                            QByteArray::fromStdString(user.SerializeAsString())));

    const std::optional<RawResponse> first = connection.readResponse();
    const std::optional<RawResponse> second = connection.readResponse();
    QVERIFY(first && second);
    QCOMPARE(first->headers.value("connection"), QByteArray("keep-alive"));
    proto::TimeResponse timeResponse;
    QVERIFY(timeResponse.ParseFromString(first->body.toStdString()));
    QVERIFY(timeResponse.has_time());
    proto::GetUserInfoResponse userResponse;
    QVERIFY(userResponse.ParseFromString(second->body.toStdString()));
    QVERIFY(userResponse.has_info());

    const QList<EmulatorRequest> logged = emulator.requests();
    QCOMPARE(logged.size(), 3);
    QCOMPARE(logged[1].rpc, QString("GetTime"));
    QCOMPARE(logged[2].rpc, QString("GetUserInfo"));
    QCOMPARE(logged[1].connection, logged[2].connection);
}

QTEST_GUILESS_MAIN(TestEmulatorRpc)
#include "tst_emulator_rpc.moc"
