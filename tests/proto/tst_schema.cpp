// Wire-level checks of the server message schema. The expected bytes below were
// worked out by hand from the protobuf encoding rules (tag = number << 3 | wire
// type, base-128 varints, little-endian fixed32), so a wrong field number, type,
// label or default in a .proto file shows up as a byte mismatch here.

#include <QStringList>
#include <QTest>

#include <google/protobuf/descriptor.pb.h>

#include <cstdint>
#include <string>

#include "auth.pb.h"
#include "channel.pb.h"
#include "channel_rating.pb.h"
#include "channelpackage.pb.h"
#include "client.pb.h"
#include "devices.pb.h"
#include "epg_search_index.pb.h"
#include "media_server.pb.h"
#include "ping.pb.h"
#include "private.pb.h"
#include "reminder.pb.h"
#include "rpc.pb.h"
#include "servers.pb.h"
#include "stb_files.pb.h"
#include "stb_firmware.pb.h"
#include "stb_params.pb.h"
#include "stb_server.pb.h"
#include "stream_operations.pb.h"
#include "time.pb.h"
#include "time_offset_search.pb.h"
#include "tv_server.pb.h"
#include "user_channels.pb.h"
#include "user_info.pb.h"

namespace gp = google::protobuf;

namespace {

// Serialises a complete message and returns its bytes as spaced lower-case hex.
QByteArray wireHex(const gp::Message& message)
{
    if (!message.IsInitialized()) {
        return "missing required fields: " +
               QByteArray::fromStdString(message.InitializationErrorString());
    }
    std::string bytes;
    if (!message.SerializeToString(&bytes)) {
        return "serialisation failed";
    }
    return QByteArray::fromStdString(bytes).toHex(' ');
}

// Parses hex (spaces allowed) without the required-field check, so that tests
// can look at IsInitialized() themselves.
bool parsePartialHex(gp::Message& message, const char* hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    return message.ParsePartialFromArray(bytes.constData(), int(bytes.size()));
}

bool parseHex(gp::Message& message, const char* hex)
{
    return parsePartialHex(message, hex) && message.IsInitialized();
}

QString str(const std::string& text)
{
    return QString::fromStdString(text);
}

// One descriptor from each schema file; referencing them also pulls every
// generated object file out of the static library.
QList<const gp::FileDescriptor*> schemaFiles()
{
    return {
        RpcRequest::descriptor()->file(),
        ClientStartPacket::descriptor()->file(),
        proto::TvServerService::descriptor()->file(),
        proto::PingRequest::descriptor()->file(),
        proto::AuthRequest::descriptor()->file(),
        proto::DeviceInfo::descriptor()->file(),
        proto::Channel::descriptor()->file(),
        proto::ChannelRating::descriptor()->file(),
        proto::SearchIndex::descriptor()->file(),
        proto::ChannelPackage::descriptor()->file(),
        proto::OpenStreamRequest::descriptor()->file(),
        proto::IPPort::descriptor()->file(),
        proto::StreamSource::descriptor()->file(),
        proto::TimeRequest::descriptor()->file(),
        proto::UserInfo::descriptor()->file(),
        proto::SearchTimeOffsetRequest::descriptor()->file(),
        proto::StbServerService::descriptor()->file(),
        proto::ReminderData::descriptor()->file(),
        proto::UserChannelData::descriptor()->file(),
        proto::FirmwareUpdateRequest::descriptor()->file(),
        proto::StbSettings::descriptor()->file(),
        proto::GetImageUrlRequest::descriptor()->file(),
        proto::MediaMovie::descriptor()->file(),
    };
}

template <typename Fn>
void forEachField(const gp::Descriptor* message, Fn fn)
{
    for (int i = 0; i < message->field_count(); ++i) {
        fn(message->field(i));
    }
    for (int i = 0; i < message->nested_type_count(); ++i) {
        forEachField(message->nested_type(i), fn);
    }
}

template <typename Fn>
void forEachSchemaField(Fn fn)
{
    for (const gp::FileDescriptor* file : schemaFiles()) {
        for (int i = 0; i < file->message_type_count(); ++i) {
            forEachField(file->message_type(i), fn);
        }
    }
}

QString defaultText(const gp::FieldDescriptor* field)
{
    switch (field->cpp_type()) {
        case gp::FieldDescriptor::CPPTYPE_INT32:
            return QString::number(field->default_value_int32());
        case gp::FieldDescriptor::CPPTYPE_INT64:
            return QString::number(field->default_value_int64());
        case gp::FieldDescriptor::CPPTYPE_UINT32:
            return QString::number(field->default_value_uint32());
        case gp::FieldDescriptor::CPPTYPE_UINT64:
            return QString::number(field->default_value_uint64());
        case gp::FieldDescriptor::CPPTYPE_FLOAT:
            return QString::number(field->default_value_float());
        case gp::FieldDescriptor::CPPTYPE_DOUBLE:
            return QString::number(field->default_value_double());
        case gp::FieldDescriptor::CPPTYPE_BOOL:
            return field->default_value_bool() ? QStringLiteral("true") : QStringLiteral("false");
        case gp::FieldDescriptor::CPPTYPE_ENUM:
            return str(field->default_value_enum()->name());
        case gp::FieldDescriptor::CPPTYPE_STRING:
            return str(field->default_value_string());
        case gp::FieldDescriptor::CPPTYPE_MESSAGE:
            break;
    }
    return QStringLiteral("?");
}

QStringList methodList(const gp::ServiceDescriptor* service)
{
    QStringList methods;
    for (int i = 0; i < service->method_count(); ++i) {
        const gp::MethodDescriptor* method = service->method(i);
        methods << QStringLiteral("%1(%2) %3")
                       .arg(str(method->name()), str(method->input_type()->full_name()),
                            str(method->output_type()->full_name()));
    }
    return methods;
}

// Channel that remembers what a generated stub handed to it.
class RecordingChannel : public gp::RpcChannel
{
public:
    void CallMethod(const gp::MethodDescriptor* method, gp::RpcController* controller,
                    const gp::Message* request, gp::Message* response, gp::Closure* done) override
    {
        lastMethod = method;
        lastController = controller;
        lastRequest = request;
        lastResponse = response;
        if (done) {
            done->Run();
        }
    }

    const gp::MethodDescriptor* lastMethod = nullptr;
    gp::RpcController* lastController = nullptr;
    const gp::Message* lastRequest = nullptr;
    gp::Message* lastResponse = nullptr;
};

}  // namespace

class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void fileLayout();
    void noFieldIsPacked();
    void explicitDefaults();
    void unsetFieldsReadTheirDefaults();

    void authRequestAsSentAtLogIn();
    void deviceInfoFieldNumbers();
    void channelListRequestAsSentByClient();
    void channelListRequestWritesFieldsInNumberOrder();
    void channelListRequestFlags_data();
    void channelListRequestFlags();
    void openStreamRequest();
    void updateAndCloseStreamRequests();
    void getImageUrlRequest();
    void setStbSettingsRequest();
    void userChannelRequests();

    void authResponse();
    void timeResponse();
    void userInfoResponse();
    void channelListResponse();
    void openStreamResponseHttp();
    void openStreamResponseMulticast();
    void stbSettingsFieldNumbers();
    void getStbSettingsResponse();
    void userChannelResponse();
    void getImageUrlResponse();
    void missingRequiredFieldsAreRejected();

    void nestedEnumValues();
    void topLevelEnumValues();

    void services_data();
    void services();
    void stubsDispatchByMethodIndex();
};

void TestSchema::fileLayout()
{
    // name, package, imports in order, top-level messages/enums/services, syntax
    // and the generic-service options (c = C++, j = Java, p = Python).
    const QStringList expected = {
        "rpc.proto pkg= imports= m=2 e=2 s=0 proto2 generic=",
        "client.proto pkg= imports= m=1 e=0 s=0 proto2 generic=",
        "tv_server.proto pkg=proto imports=ping.proto,auth.proto,channel.proto,"
        "channel_rating.proto,epg_search_index.proto,stream_operations.proto,time.proto,"
        "user_info.proto,time_offset_search.proto m=0 e=0 s=1 proto2 generic=cjp",
        "ping.proto pkg=proto imports= m=2 e=0 s=0 proto2 generic=",
        "auth.proto pkg=proto imports=devices.proto m=6 e=0 s=0 proto2 generic=",
        "devices.proto pkg=proto imports= m=3 e=2 s=0 proto2 generic=",
        "channel.proto pkg=proto imports= m=9 e=0 s=0 proto2 generic=",
        "channel_rating.proto pkg=proto imports= m=3 e=0 s=0 proto2 generic=",
        "epg_search_index.proto pkg=proto imports= m=3 e=0 s=0 proto2 generic=",
        "channelpackage.proto pkg=proto imports= m=1 e=0 s=0 proto2 generic=",
        "stream_operations.proto pkg=proto imports=servers.proto,channel.proto m=6 e=1 s=0 "
        "proto2 generic=",
        "servers.proto pkg=proto imports= m=4 e=0 s=0 proto2 generic=",
        "private.proto pkg=proto imports=servers.proto m=3 e=0 s=0 proto2 generic=",
        "time.proto pkg=proto imports= m=3 e=0 s=0 proto2 generic=",
        "user_info.proto pkg=proto imports= m=3 e=0 s=0 proto2 generic=",
        "time_offset_search.proto pkg=proto imports= m=4 e=1 s=0 proto2 generic=",
        "stb_server.proto pkg=proto imports=reminder.proto,user_channels.proto,"
        "stb_firmware.proto,stb_params.proto,stb_files.proto m=0 e=0 s=1 proto2 generic=cjp",
        "reminder.proto pkg=proto imports= m=5 e=0 s=0 proto2 generic=",
        "user_channels.proto pkg=proto imports= m=5 e=0 s=0 proto2 generic=",
        "stb_firmware.proto pkg=proto imports=devices.proto m=4 e=0 s=0 proto2 generic=",
        "stb_params.proto pkg=proto imports= m=6 e=0 s=0 proto2 generic=",
        "stb_files.proto pkg=proto imports=devices.proto m=2 e=1 s=0 proto2 generic=",
        "media_server.proto pkg=proto imports= m=33 e=1 s=1 proto2 generic=cjp",
    };

    QStringList actual;
    for (const gp::FileDescriptor* file : schemaFiles()) {
        QStringList imports;
        for (int i = 0; i < file->dependency_count(); ++i) {
            imports << str(file->dependency(i)->name());
        }
        const gp::FileOptions& options = file->options();
        QString generic;
        if (options.cc_generic_services()) {
            generic += 'c';
        }
        if (options.java_generic_services()) {
            generic += 'j';
        }
        if (options.py_generic_services()) {
            generic += 'p';
        }
        actual << QStringLiteral("%1 pkg=%2 imports=%3 m=%4 e=%5 s=%6 %7 generic=%8")
                      .arg(str(file->name()), str(file->package()), imports.join(','))
                      .arg(file->message_type_count())
                      .arg(file->enum_type_count())
                      .arg(file->service_count())
                      .arg(file->syntax() == gp::FileDescriptor::SYNTAX_PROTO2
                               ? QStringLiteral("proto2")
                               : QStringLiteral("not-proto2"))
                      .arg(generic);
    }
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(actual.at(i), expected.at(i));
    }
}

void TestSchema::noFieldIsPacked()
{
    QStringList packed;
    int repeatedScalars = 0;
    forEachSchemaField([&](const gp::FieldDescriptor* field) {
        if (field->is_repeated() && field->is_packable()) {
            ++repeatedScalars;
        }
        if (field->is_packed()) {
            packed << str(field->full_name());
        }
    });
    // Guard against walking an empty schema: there are plenty of repeated int32s.
    QVERIFY(repeatedScalars > 20);
    QCOMPARE(packed, QStringList());
}

void TestSchema::explicitDefaults()
{
    QStringList defaults;
    forEachSchemaField([&](const gp::FieldDescriptor* field) {
        if (field->has_default_value()) {
            defaults << str(field->full_name()) + '=' + defaultText(field);
        }
    });
    defaults.sort();
    const QStringList expected = {
        "RpcRequest.compression=COMP_NONE",
        "RpcRequest.format=RPC_PROTOCOLBUFFERS",
        "RpcResponse.compression=COMP_NONE",
        "proto.AuthResponse.ttl=3600",
        "proto.Channel.available=true",
        "proto.OpenStreamRequest.offset_id=1",
        "proto.OpenStreamResponse.update_interval=60",
        "proto.SearchTimeOffsetRequest.require_all=false",
    };
    QCOMPARE(defaults, expected);
}

void TestSchema::unsetFieldsReadTheirDefaults()
{
    const proto::AuthResponse auth;
    QVERIFY(!auth.has_ttl());
    QCOMPARE(auth.ttl(), 3600u);

    const proto::Channel channel;
    QVERIFY(!channel.has_available());
    QCOMPARE(channel.available(), true);

    const proto::OpenStreamRequest open;
    QVERIFY(!open.has_offset_id());
    QCOMPARE(open.offset_id(), 1);

    const proto::OpenStreamResponse stream;
    QVERIFY(!stream.has_update_interval());
    QCOMPARE(stream.update_interval(), 60u);
    QVERIFY(!stream.has_multicast_group());
    QVERIFY(stream.multicast_group().address().empty());
    QCOMPARE(stream.multicast_group().port(), 0);
    QVERIFY(!stream.has_http_stream());
    QVERIFY(stream.http_stream().url().empty());
    QVERIFY(stream.http_stream().host().address().empty());

    const RpcRequest request;
    QCOMPARE(request.compression(), COMP_NONE);
    QCOMPARE(request.format(), RPC_PROTOCOLBUFFERS);
    const RpcResponse response;
    QCOMPARE(response.compression(), COMP_NONE);

    // Defaulted fields stay off the wire until they are set.
    proto::OpenStreamRequest bare;
    bare.set_auth("a");
    bare.set_channel_id(1);
    QCOMPARE(wireHex(bare), QByteArray("0a 01 61 10 01"));
}

void TestSchema::authRequestAsSentAtLogIn()
{
    proto::AuthRequest request;
    proto::DeviceInfo* device = request.mutable_device();
    device->set_type(proto::DT_IPTV_Player);
    device->set_mac("m1");
    device->mutable_firmware()->set_versioncode(0);
    device->mutable_firmware()->set_versionstring("2.2.16");

    // field 3 (device), 18 bytes: type=2, mac "m1", firmware {0, "2.2.16"}
    QCOMPARE(wireHex(request), QByteArray("1a 12 08 02 12 02 6d 31 1a 0a 08 00 12 06 "
                                          "32 2e 32 2e 31 36"));
}

void TestSchema::deviceInfoFieldNumbers()
{
    proto::DeviceInfo device;
    device.set_type(proto::DT_MAG250_Mini);
    device.set_sub_type(proto::DST_PHILIPS);
    device.set_mac("m");
    proto::FirmwareInfo* firmware = device.mutable_firmware();
    firmware->set_versioncode(300);
    firmware->set_versionstring("v");
    proto::FirmwareModule* module = firmware->add_modules();
    module->set_name("k");
    module->set_versioncode(2);
    device.set_model("x");

    // sub_type (4) is declared before mac (2) but goes on the wire after firmware (3).
    QCOMPARE(wireHex(device), QByteArray("08 09 12 01 6d 1a 0d 08 ac 02 12 01 76 1a 05 0a 01 6b "
                                         "10 02 20 03 2a 01 78"));
}

void TestSchema::channelListRequestAsSentByClient()
{
    proto::ChannelListRequest request;
    request.set_auth("abc");
    request.set_need_icons(true);
    request.set_need_epg(true);
    request.set_need_offsets(true);
    QCOMPARE(wireHex(request), QByteArray("0a 03 61 62 63 10 01 18 01 20 01"));
}

void TestSchema::channelListRequestWritesFieldsInNumberOrder()
{
    proto::ChannelListRequest request;
    // Set in declaration order; distinct values so that swapped numbers show.
    request.set_auth("tok");
    request.set_need_icons(true);
    request.set_need_epg(false);
    request.set_need_offsets(true);
    request.set_need_categories(true);
    request.set_need_hash(false);
    request.set_need_list(true);
    request.add_channels(7);
    request.add_channels(300);
    request.set_epg_start_offset(-1);
    request.set_epg_stop_offset(86400);
    request.set_epg_limit_prev(2);
    request.set_epg_limit_next(5);
    request.set_epg_current_time(1700000000);
    request.add_category(3);
    request.add_category(4);

    const QByteArray expected =
        "0a 03 74 6f 6b"                     // 1 auth
        " 10 01"                             // 2 need_icons
        " 18 00"                             // 3 need_epg
        " 20 01"                             // 4 need_offsets
        " 28 07 28 ac 02"                    // 5 channels, unpacked
        " 30 ff ff ff ff ff ff ff ff ff 01"  // 6 epg_start_offset -1
        " 38 80 a3 05"                       // 7 epg_stop_offset 86400
        " 40 01"                             // 8 need_categories
        " 48 03 48 04"                       // 9 category, unpacked
        " 50 02"                             // 10 epg_limit_prev
        " 58 05"                             // 11 epg_limit_next
        " 60 00"                             // 12 need_hash
        " 68 01"                             // 13 need_list
        " 70 80 e2 cf aa 06";                // 14 epg_current_time
    QCOMPARE(wireHex(request), expected);
}

void TestSchema::channelListRequestFlags_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("need_icons") << "need_icons" << QByteArray("0a 01 61 10 01 18 00 20 00");
    QTest::newRow("need_epg") << "need_epg" << QByteArray("0a 01 61 10 00 18 01 20 00");
    QTest::newRow("need_offsets") << "need_offsets" << QByteArray("0a 01 61 10 00 18 00 20 01");
    QTest::newRow("need_categories")
        << "need_categories" << QByteArray("0a 01 61 10 00 18 00 20 00 40 01");
    QTest::newRow("need_hash") << "need_hash" << QByteArray("0a 01 61 10 00 18 00 20 00 60 01");
    QTest::newRow("need_list") << "need_list" << QByteArray("0a 01 61 10 00 18 00 20 00 68 01");
}

void TestSchema::channelListRequestFlags()
{
    QFETCH(QString, field);
    QFETCH(QByteArray, expected);

    proto::ChannelListRequest request;
    request.set_auth("a");
    request.set_need_icons(false);
    request.set_need_epg(false);
    request.set_need_offsets(false);
    const gp::FieldDescriptor* flag =
        proto::ChannelListRequest::descriptor()->FindFieldByName(field.toStdString());
    QVERIFY(flag);
    request.GetReflection()->SetBool(&request, flag, true);
    QCOMPARE(wireHex(request), expected);
}

void TestSchema::openStreamRequest()
{
    proto::OpenStreamRequest request;
    request.set_auth("a");
    request.set_channel_id(5);
    request.set_offset_id(2);
    request.add_accept_scheme(proto::Multicast_UDP);
    request.add_accept_scheme(proto::HTTP_UDP);
    QCOMPARE(wireHex(request), QByteArray("0a 01 61 10 05 18 02 20 01 20 05"));

    request.set_first_batch_size(4);
    QCOMPARE(wireHex(request), QByteArray("0a 01 61 10 05 18 02 20 01 20 05 28 04"));
}

void TestSchema::updateAndCloseStreamRequests()
{
    proto::UpdateStreamRequest update;
    update.set_auth("k");
    update.set_stream_id(77);
    QCOMPARE(wireHex(update), QByteArray("0a 01 6b 10 4d"));

    proto::CloseStreamRequest close;
    close.set_auth("k");
    close.set_stream_id(200);
    QCOMPARE(wireHex(close), QByteArray("0a 01 6b 10 c8 01"));
}

void TestSchema::getImageUrlRequest()
{
    proto::GetImageUrlRequest request;
    request.mutable_device()->set_type(proto::DT_IPTV_Player);
    request.set_auth("t");
    request.set_image(proto::STB_IMG_Channel_Deny_zmp);
    // device (1), image (2), auth (4); screen_width (3) stays unset.
    QCOMPARE(wireHex(request), QByteArray("0a 02 08 02 10 03 22 01 74"));

    request.set_screen_width(1);
    QCOMPARE(wireHex(request), QByteArray("0a 02 08 02 10 03 18 01 22 01 74"));
}

void TestSchema::setStbSettingsRequest()
{
    proto::SetStbSettingsRequest request;
    request.set_auth("k");
    proto::StbSettings* settings = request.mutable_data();
    settings->set_volume(30);
    proto::ChannelVolume* volumes = settings->mutable_channel_volume();
    volumes->set_enabled(true);
    proto::ChannelVolume::Record* record = volumes->add_record();
    record->set_id_channel(7);
    record->set_volume(-5);

    // data (21 bytes) = volume 30, channel_volume (17 bytes) = enabled, record (13
    // bytes) = {7, -5 as a ten-byte int32 varint}.
    QCOMPARE(wireHex(request), QByteArray("0a 01 6b 12 15 08 1e 22 11 08 01 12 0d 08 07 "
                                          "10 fb ff ff ff ff ff ff ff ff 01"));
}

void TestSchema::userChannelRequests()
{
    proto::UserChannelRequest get;
    get.set_auth("k");
    get.set_use_shared(true);
    QCOMPARE(wireHex(get), QByteArray("0a 01 6b 10 01"));

    proto::SetUserChannelRequest set;
    set.set_auth("k");
    set.mutable_data()->set_enabled(true);
    set.mutable_data()->add_channel_id(3);
    set.mutable_data()->add_channel_id(1);
    set.mutable_data()->add_channel_id(2);
    set.set_use_shared(false);
    QCOMPARE(wireHex(set), QByteArray("0a 01 6b 12 08 08 03 08 01 08 02 10 01 18 00"));
}

void TestSchema::authResponse()
{
    proto::AuthResponse ok;
    QVERIFY(parseHex(ok, "08 00 12 03 74 6f 6b"));
    QCOMPARE(ok.status(), proto::AuthResponse_Result_OK);
    QCOMPARE(str(ok.auth_token()), QStringLiteral("tok"));
    QCOMPARE(ok.ttl(), 3600u);
    QVERIFY(!ok.has_company_id());

    proto::AuthResponse denied;
    QVERIFY(parseHex(denied, "08 02 18 3c 20 05"));
    QCOMPARE(denied.status(), proto::AuthResponse::WrongPassword);
    QCOMPARE(denied.ttl(), 60u);
    QCOMPARE(denied.company_id(), 5);
}

void TestSchema::timeResponse()
{
    proto::TimeResponse response;
    QVERIFY(parseHex(response, "08 00 10 80 e2 cf aa 06 1a 09 0a 01 55 12 01 50 18 b0 54"));
    QCOMPARE(response.status(), proto::TimeResponse::OK);
    QCOMPARE(response.time(), uint64_t{1700000000});
    QCOMPARE(str(response.time_zone().name()), QStringLiteral("U"));
    QCOMPARE(str(response.time_zone().posix()), QStringLiteral("P"));
    QCOMPARE(response.time_zone().current_utc_offset(), 10800);
}

void TestSchema::userInfoResponse()
{
    proto::GetUserInfoResponse response;
    QVERIFY(parseHex(response,
                     "08 00 12 1b 08 2a 15 00 00 48 41 1d 00 00 00 3f 22 01 46 "
                     "2a 01 54 32 01 50 38 01 40 00 48 07"));
    QCOMPARE(response.status(), proto::GetUserInfoResponse::OK);
    const proto::UserInfo& info = response.info();
    QCOMPARE(info.account_id(), 42);
    QCOMPARE(info.balance(), 12.5f);
    QCOMPARE(info.cost(), 0.5f);
    QCOMPARE(str(info.fullname()), QStringLiteral("F"));
    QCOMPARE(str(info.tariff()), QStringLiteral("T"));
    QCOMPARE(str(info.tv_packs()), QStringLiteral("P"));
    QCOMPARE(info.is_vod(), true);
    QCOMPARE(info.is_blocked(), false);
    QVERIFY(info.has_company_id());
    QCOMPARE(info.company_id(), 7);
}

void TestSchema::channelListResponse()
{
    proto::ChannelListResponse response;
    QVERIFY(parseHex(response,
                     "08 00"
                     // channel 1: id, name "A", one EPG record, offsets 0 and 3, hidden=false
                     " 12 17 08 01 12 01 41 22 0a 08 02 12 01 45 18 64 20 c8 01"
                     " 28 00 28 03 38 00"
                     // channel 2: icon, available=false, hidden=true, category 4
                     " 12 0f 08 02 12 01 42 1a 02 89 50 30 00 38 01 40 04"
                     " 1a 05 08 03 10 90 1c"  // time offset {3, 3600}
                     " 22 05 08 09 12 01 63"  // category {9, "c"}
                     " 2a 01 68 32 01 69"));  // list_hash, list_id_hash
    QCOMPARE(response.status(), proto::ChannelListResponse::OK);
    QCOMPARE(response.list_size(), 2);

    const proto::Channel& first = response.list(0);
    QCOMPARE(first.id(), 1);
    QCOMPARE(str(first.name()), QStringLiteral("A"));
    QVERIFY(!first.has_icon());
    QCOMPARE(first.epg_size(), 1);
    QCOMPARE(first.epg(0).id(), 2);
    QCOMPARE(str(first.epg(0).text()), QStringLiteral("E"));
    QCOMPARE(first.epg(0).time_start(), int64_t{100});
    QCOMPARE(first.epg(0).time_stop(), int64_t{200});
    QCOMPARE(first.offset_size(), 2);
    QCOMPARE(first.offset(0), 0);
    QCOMPARE(first.offset(1), 3);
    QCOMPARE(first.available(), true);
    QCOMPARE(first.hidden(), false);
    QCOMPARE(first.category_size(), 0);

    const proto::Channel& second = response.list(1);
    QCOMPARE(second.id(), 2);
    QCOMPARE(QByteArray::fromStdString(second.icon()), QByteArray("\x89P"));
    QCOMPARE(second.available(), false);
    QCOMPARE(second.hidden(), true);
    QCOMPARE(second.category_size(), 1);
    QCOMPARE(second.category(0), 4);
    QCOMPARE(second.offset_size(), 0);

    QCOMPARE(response.offsets_size(), 1);
    QCOMPARE(response.offsets(0).id(), 3);
    QCOMPARE(response.offsets(0).offset(), 3600);
    QCOMPARE(response.categories_size(), 1);
    QCOMPARE(response.categories(0).id(), 9);
    QCOMPARE(str(response.categories(0).caption()), QStringLiteral("c"));
    QCOMPARE(str(response.list_hash()), QStringLiteral("h"));
    QCOMPARE(str(response.list_id_hash()), QStringLiteral("i"));
}

void TestSchema::openStreamResponseHttp()
{
    proto::OpenStreamResponse response;
    // result, scheme HTTP_UDP, http_stream {host {"h", 80}, url "/s"}, stream_id 9
    QVERIFY(parseHex(response, "08 00 10 05 22 0b 0a 05 0a 01 68 10 50 12 02 2f 73 38 09"));
    QCOMPARE(response.result(), proto::OpenStreamResponse::OK);
    QCOMPARE(response.scheme(), proto::HTTP_UDP);
    QVERIFY(response.has_http_stream());
    QCOMPARE(str(response.http_stream().host().address()), QStringLiteral("h"));
    QCOMPARE(response.http_stream().host().port(), 80);
    QCOMPARE(str(response.http_stream().url()), QStringLiteral("/s"));
    QCOMPARE(response.stream_id(), 9);
    QCOMPARE(response.update_interval(), 60u);
    QVERIFY(!response.has_multicast_group());
    QVERIFY(response.multicast_group().address().empty());
    QCOMPARE(response.multicast_group().port(), 0);
}

void TestSchema::openStreamResponseMulticast()
{
    proto::OpenStreamResponse response;
    // multicast_group {"239.0.0.1", 1234}, stream_id 42, update_interval 30
    QVERIFY(parseHex(response,
                     "08 00 10 01 1a 0e 0a 09 32 33 39 2e 30 2e 30 2e 31 10 d2 09 "
                     "38 2a 40 1e"));
    QCOMPARE(response.scheme(), proto::Multicast_UDP);
    QCOMPARE(str(response.multicast_group().address()), QStringLiteral("239.0.0.1"));
    QCOMPARE(response.multicast_group().port(), 1234);
    QCOMPARE(response.stream_id(), 42);
    QVERIFY(response.has_update_interval());
    QCOMPARE(response.update_interval(), 30u);
    QVERIFY(!response.has_http_stream());
    QVERIFY(response.http_stream().url().empty());

    proto::OpenStreamResponse denied;
    QVERIFY(parseHex(denied, "08 03"));
    QCOMPARE(denied.result(), proto::OpenStreamResponse::Deny);
}

void TestSchema::stbSettingsFieldNumbers()
{
    proto::StbSettings settings;
    QVERIFY(parseHex(settings, "08 01 10 02 18 03 28 05 30 06 3a 01 63"));
    QCOMPARE(settings.volume(), 1);
    QCOMPARE(settings.brightness(), 2);
    QCOMPARE(settings.contrast(), 3);
    QVERIFY(!settings.has_channel_volume());
    QCOMPARE(settings.last_channel(), 5);
    QCOMPARE(settings.content_mode(), 6);
    QCOMPARE(str(settings.custom()), QStringLiteral("c"));
}

void TestSchema::getStbSettingsResponse()
{
    proto::GetStbSettingsResponse response;
    QVERIFY(parseHex(response, "08 00 12 0a 22 08 08 01 12 04 08 07 10 28"));
    QCOMPARE(response.result(), proto::GetStbSettingsResponse::OK);
    const proto::ChannelVolume& volumes = response.data().channel_volume();
    QCOMPARE(volumes.enabled(), true);
    QCOMPARE(volumes.record_size(), 1);
    QCOMPARE(volumes.record(0).id_channel(), 7);
    QCOMPARE(volumes.record(0).volume(), 40);

    proto::GetStbSettingsResponse noDevice;
    QVERIFY(parseHex(noDevice, "08 02"));
    QCOMPARE(noDevice.result(), proto::GetStbSettingsResponse::NoDeviceInfo);
}

void TestSchema::userChannelResponse()
{
    proto::UserChannelResponse response;
    QVERIFY(parseHex(response, "08 00 12 08 08 05 08 06 08 07 10 01"));
    QCOMPARE(response.result(), proto::UserChannelResponse::OK);
    QCOMPARE(response.data().enabled(), true);
    QCOMPARE(response.data().channel_id_size(), 3);
    QCOMPARE(response.data().channel_id(0), 5);
    QCOMPARE(response.data().channel_id(2), 7);
}

void TestSchema::getImageUrlResponse()
{
    proto::GetImageUrlResponse response;
    QVERIFY(parseHex(response, "08 00 12 01 75"));
    QCOMPARE(str(response.url()), QStringLiteral("u"));

    proto::GetImageUrlResponse unknown;
    QVERIFY(parseHex(unknown, "08 01"));
    QCOMPARE(unknown.status(), proto::GetImageUrlResponse::UnknownDevice);
}

void TestSchema::missingRequiredFieldsAreRejected()
{
    // AuthResponse without its status.
    proto::AuthResponse auth;
    QVERIFY(parsePartialHex(auth, "12 03 74 6f 6b"));
    QVERIFY(!auth.IsInitialized());

    // A channel without `hidden` makes the whole list unusable ...
    proto::ChannelListResponse withoutHidden;
    QVERIFY(parsePartialHex(withoutHidden, "08 00 12 05 08 01 12 01 41"));
    QVERIFY(!withoutHidden.IsInitialized());
    // ... while `available` may be left out.
    proto::ChannelListResponse withoutAvailable;
    QVERIFY(parseHex(withoutAvailable, "08 00 12 07 08 01 12 01 41 38 00"));
    QCOMPARE(withoutAvailable.list(0).available(), true);

    // UpdateStreamResponse without `result`.
    proto::UpdateStreamResponse update;
    QVERIFY(parsePartialHex(update, ""));
    QVERIFY(!update.IsInitialized());

    // The flags of a channel list request are required, need_categories is not.
    proto::ChannelListRequest request;
    request.set_auth("a");
    request.set_need_icons(true);
    request.set_need_epg(true);
    QVERIFY(!request.IsInitialized());
    request.set_need_offsets(true);
    QVERIFY(request.IsInitialized());

    // DeviceInfo needs its type, GetImageUrlRequest its image.
    proto::GetImageUrlRequest image;
    image.mutable_device()->set_mac("m");
    image.set_image(proto::STB_IMG_Channel_Deny);
    QVERIFY(!image.IsInitialized());
    image.mutable_device()->set_type(proto::DT_Unknown);
    QVERIFY(image.IsInitialized());
    image.clear_image();
    QVERIFY(!image.IsInitialized());
}

void TestSchema::nestedEnumValues()
{
    QCOMPARE(int(proto::AuthResponse_Result_OK), 0);
    QCOMPARE(int(proto::AuthResponse_Result_WrongUser), 1);
    QCOMPARE(int(proto::AuthResponse_Result_WrongPassword), 2);
    QCOMPARE(int(proto::AuthCheckResponse_Result_NoAuth), 1);
    QCOMPARE(int(proto::ChannelListResponse_Result_NoAuth), 1);
    QCOMPARE(int(proto::OpenStreamResponse_Result_NotFound), 2);
    QCOMPARE(int(proto::OpenStreamResponse_Result_Deny), 3);
    QCOMPARE(int(proto::UpdateStreamResponse_Result_ReopenStream), 2);
    QCOMPARE(int(proto::UpdateStreamResponse_Result_NotFound), 3);
    QCOMPARE(int(proto::CloseStreamResponse_Result_NoAuth), 1);
    QCOMPARE(int(proto::GetStbSettingsResponse_Result_NoDeviceInfo), 2);
    QCOMPARE(int(proto::SetStbSettingsResponse_Result_NoDeviceInfo), 2);
    QCOMPARE(int(proto::FirmwareUpdateResponse_Result_NoUpdate), 0);
    QCOMPARE(int(proto::FirmwareUpdateResponse_Result_ForcedUpdate), 2);
    QCOMPARE(int(proto::FirmwarePartsUrlResponse_Result_UnknownDevice), 1);
    QCOMPARE(int(proto::GetImageUrlResponse_Result_NotFound), 2);
    QCOMPARE(int(proto::GetMoviePosterRequest_Size_Thumbnail), 0);
    QCOMPARE(int(proto::GetMoviePosterRequest_Size_Poster), 1);
    QCOMPARE(int(proto::GetMovieWatchInfoResponse_Result_NotFound), 2);

    // No stray values: the client treats everything but 0 as failure, but the
    // set of codes must still match the server's.
    QCOMPARE(proto::AuthResponse_Result_descriptor()->value_count(), 3);
    QCOMPARE(proto::OpenStreamResponse_Result_descriptor()->value_count(), 4);
    QCOMPARE(proto::UpdateStreamResponse_Result_descriptor()->value_count(), 4);
    QCOMPARE(proto::GetStbSettingsResponse_Result_descriptor()->value_count(), 3);
    QCOMPARE(proto::TimeResponse_Result_descriptor()->value_count(), 2);
}

void TestSchema::topLevelEnumValues()
{
    QCOMPARE(int(COMP_NONE), 1);
    QCOMPARE(int(COMP_GZIP), 2);
    QCOMPARE(int(RPC_PROTOCOLBUFFERS), 1);
    QCOMPARE(int(RPC_XML), 3);
    QCOMPARE(int(proto::DT_Unknown), 0);
    QCOMPARE(int(proto::DT_IPTV_Player), 2);
    QCOMPARE(int(proto::DT_MAG200), 7);
    QCOMPARE(int(proto::DT_Himedia_HD600A), 10);
    QCOMPARE(int(proto::DT_M3U), 15);
    QCOMPARE(int(proto::DST_INEXT), 5);
    QCOMPARE(int(proto::Multicast_UDP), 1);
    QCOMPARE(int(proto::Unicast_SUDP), 4);
    QCOMPARE(int(proto::HTTP_UDP), 5);
    QCOMPARE(int(proto::HTTP_SUDP), 6);
    QCOMPARE(int(proto::STB_IMG_Channel_Deny_zmp), 3);
    QCOMPARE(int(proto::KEY_PG_UP), 3);
    QCOMPARE(int(proto::KEY_PG_DOWN), 4);
    QCOMPARE(int(proto::SORT_BY_ADD), 2);
    QCOMPARE(int(proto::SORT_BY_YEAR), 4);
    QCOMPARE(proto::DeviceType_descriptor()->value_count(), 12);
    QCOMPARE(proto::StreamScheme_descriptor()->value_count(), 6);
}

void TestSchema::services_data()
{
    QTest::addColumn<QString>("service");
    QTest::addColumn<QStringList>("methods");

    QTest::newRow("tv") << "proto.TvServerService"
                        << QStringList{
                               "Ping(proto.PingRequest) proto.PingResponse",
                               "Auth(proto.AuthRequest) proto.AuthResponse",
                               "AuthCheck(proto.AuthCheckRequest) proto.AuthCheckResponse",
                               "GetMyAuth(proto.GetMyAuthRequest) proto.GetMyAuthResponse",
                               "GetTime(proto.TimeRequest) proto.TimeResponse",
                               "GetChannels(proto.ChannelListRequest) proto.ChannelListResponse",
                               "GetChannelsRating(proto.GetChannelsRatingRequest) "
                               "proto.GetChannelsRatingResponse",
                               "GetEpgSearchIndex(proto.GetSearchIndexRequest) "
                               "proto.GetSearchIndexResponse",
                               "OpenStream(proto.OpenStreamRequest) proto.OpenStreamResponse",
                               "UpdateStream(proto.UpdateStreamRequest) proto.UpdateStreamResponse",
                               "CloseStream(proto.CloseStreamRequest) proto.CloseStreamResponse",
                               "GetUserInfo(proto.GetUserInfoRequest) proto.GetUserInfoResponse",
                               "SearchEpg(proto.SearchEpgRequest) proto.SearchEpgResponse",
                               "SearchTimeOffset(proto.SearchTimeOffsetRequest) "
                               "proto.SearchTimeOffsetResponse",
                               "GetTimeOffsetStepAlgo(proto.TimeOffsetStepAlgoMapRequest) "
                               "proto.TimeOffsetStepAlgoMapResponse",
                           };
    QTest::newRow("stb")
        << "proto.StbServerService"
        << QStringList{
               "GetReminder(proto.ReminderRequest) proto.ReminderResponse",
               "SetReminder(proto.SetReminderRequest) proto.SetReminderResponse",
               "GetUserChannel(proto.UserChannelRequest) proto.UserChannelResponse",
               "SetUserChannel(proto.SetUserChannelRequest) proto.SetUserChannelResponse",
               "CheckFirmwareUpdate(proto.FirmwareUpdateRequest) proto.FirmwareUpdateResponse",
               "FirmwareUpdate(proto.FirmwareUpdateRequest) proto.FirmwareUpdateResponse",
               "GetStbSettings(proto.GetStbSettingsRequest) proto.GetStbSettingsResponse",
               "SetStbSettings(proto.SetStbSettingsRequest) proto.SetStbSettingsResponse",
               "GetImageUrl(proto.GetImageUrlRequest) proto.GetImageUrlResponse",
               "GetFirmwarePartsUrl(proto.FirmwarePartsUrlRequest) "
               "proto.FirmwarePartsUrlResponse",
           };
    QTest::newRow("media")
        << "proto.MediaServerService"
        << QStringList{
               "GetGenres(proto.GetGenresRequest) proto.GetGenresResponse",
               "GetGenreMovies(proto.GetGenreMoviesRequest) proto.GetGenreMoviesResponse",
               "SearchMovies(proto.SearchMoviesRequest) proto.SearchMoviesResponse",
               "GetMovieInfo(proto.GetMovieInfoRequest) proto.GetMovieInfoResponse",
               "GetMoviePoster(proto.GetMoviePosterRequest) proto.GetMoviePosterResponse",
               "GetMovieLink(proto.GetMovieLinkRequest) proto.GetMovieLinkResponse",
               "GetFavoriteMovie(proto.GetFavoriteMovieRequest) proto.GetFavoriteMovieResponse",
               "SetFavoriteMovie(proto.SetFavoriteMovieRequest) proto.SetFavoriteMovieResponse",
               "UpdateFavoriteMovie(proto.UpdateFavoriteMovieRequest) "
               "proto.UpdateFavoriteMovieResponse",
               "GetMovieWatchInfo(proto.GetMovieWatchInfoRequest) "
               "proto.GetMovieWatchInfoResponse",
               "GetLastWatchList(proto.GetLastWatchListRequest) proto.GetLastWatchListResponse",
               "UpdateMovieWatchInfo(proto.UpdateMovieWatchInfoRequest) "
               "proto.UpdateMovieWatchInfoResponse",
               "GetPersons(proto.GetPersonsRequest) proto.GetPersonsResponse",
               "GetCountries(proto.GetCountriesRequest) proto.GetCountriesResponse",
           };
}

void TestSchema::services()
{
    QFETCH(QString, service);
    QFETCH(QStringList, methods);

    const QList<const gp::ServiceDescriptor*> all = {
        proto::TvServerService::descriptor(),
        proto::StbServerService::descriptor(),
        proto::MediaServerService::descriptor(),
    };
    const gp::ServiceDescriptor* descriptor = nullptr;
    for (const gp::ServiceDescriptor* candidate : all) {
        if (str(candidate->full_name()) == service) {
            descriptor = candidate;
        }
    }
    QVERIFY2(descriptor, qPrintable(service));
    QCOMPARE(methodList(descriptor), methods);
}

void TestSchema::stubsDispatchByMethodIndex()
{
    RecordingChannel channel;

    proto::TvServerService_Stub tv(&channel);
    proto::OpenStreamRequest open;
    proto::OpenStreamResponse opened;
    tv.OpenStream(nullptr, &open, &opened, nullptr);
    QVERIFY(channel.lastMethod);
    QCOMPARE(channel.lastMethod->index(), 8);
    QCOMPARE(str(channel.lastMethod->full_name()),
             QStringLiteral("proto.TvServerService.OpenStream"));
    QCOMPARE(channel.lastRequest, static_cast<const gp::Message*>(&open));
    QCOMPARE(channel.lastResponse, static_cast<gp::Message*>(&opened));

    proto::ChannelListRequest list;
    proto::ChannelListResponse listed;
    tv.GetChannels(nullptr, &list, &listed, nullptr);
    QCOMPARE(channel.lastMethod->index(), 5);
    QCOMPARE(str(channel.lastMethod->name()), QStringLiteral("GetChannels"));

    proto::StbServerService_Stub stb(&channel);
    proto::GetImageUrlRequest image;
    proto::GetImageUrlResponse imageUrl;
    stb.GetImageUrl(nullptr, &image, &imageUrl, nullptr);
    QCOMPARE(channel.lastMethod->index(), 8);
    QCOMPARE(str(channel.lastMethod->full_name()),
             QStringLiteral("proto.StbServerService.GetImageUrl"));
    QCOMPARE(channel.lastRequest, static_cast<const gp::Message*>(&image));

    proto::MediaServerService_Stub media(&channel);
    proto::GetCountriesRequest countries;
    proto::GetCountriesResponse countryList;
    media.GetCountries(nullptr, &countries, &countryList, nullptr);
    QCOMPARE(channel.lastMethod->index(), 13);
    QCOMPARE(str(channel.lastMethod->full_name()),
             QStringLiteral("proto.MediaServerService.GetCountries"));
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
