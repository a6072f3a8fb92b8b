// The server's message schema on the wire. Golden rows under tests/data/proto
// pair a message in protobuf text format with its serialised bytes, so that a
// wrong field number, type, label or packing in a .proto file shows as a byte
// mismatch.

#include "../support/tablerows.h"

#include <QDir>
#include <QTest>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/dynamic_message.h>
#include <google/protobuf/text_format.h>

#include <memory>
#include <string>

namespace gp = google::protobuf;

namespace {

std::unique_ptr<gp::Message> newMessage(const QString& type)
{
    const gp::Descriptor* descriptor =
        gp::DescriptorPool::generated_pool()->FindMessageTypeByName(type.toStdString());
    if (!descriptor)
        return nullptr;
    return std::unique_ptr<gp::Message>(
        gp::MessageFactory::generated_factory()->GetPrototype(descriptor)->New());
}

}  // namespace

class TestSchema : public QObject
{
    Q_OBJECT
private slots:
    void messagesMatchTheirGoldenBytes_data();
    void messagesMatchTheirGoldenBytes();
    void unsetFieldsReadTheirDefaults_data();
    void unsetFieldsReadTheirDefaults();
    void noRepeatedFieldIsPacked();
};

void TestSchema::messagesMatchTheirGoldenBytes_data()
{
    addTableRows(ZENTRIA_WIRE_DATA "/messages.txt");
}

// Text to bytes, and bytes back to the same message. Bytes marked "rejected"
// lack a required field: the transport must see them fail to parse.
void TestSchema::messagesMatchTheirGoldenBytes()
{
    QFETCH(QString, type);
    QFETCH(QString, text);
    QFETCH(QString, hex);
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    const std::unique_ptr<gp::Message> parsed = newMessage(type);
    QVERIFY2(parsed, qPrintable(type));
    const bool parses = parsed->ParseFromArray(bytes.constData(), int(bytes.size()));
    if (text == QLatin1String("rejected")) {
        QVERIFY(!parses);
        return;
    }

    const std::unique_ptr<gp::Message> written = newMessage(type);
    QVERIFY2(gp::TextFormat::ParseFromString(text.toStdString(), written.get()), qPrintable(text));
    QCOMPARE(QByteArray::fromStdString(written->SerializeAsString()).toHex(' '), bytes.toHex(' '));
    QVERIFY(parses);
    QCOMPARE(QString::fromStdString(parsed->ShortDebugString()),
             QString::fromStdString(written->ShortDebugString()));
}

void TestSchema::unsetFieldsReadTheirDefaults_data()
{
    addTableRows(ZENTRIA_WIRE_DATA "/defaults.txt");
}

void TestSchema::unsetFieldsReadTheirDefaults()
{
    QFETCH(QString, type);
    QFETCH(QString, field);
    QFETCH(QString, value);
    const std::unique_ptr<gp::Message> message = newMessage(type);
    QVERIFY2(message, qPrintable(type));
    const gp::FieldDescriptor* descriptor =
        message->GetDescriptor()->FindFieldByName(field.toStdString());
    QVERIFY2(descriptor, qPrintable(field));
    QVERIFY(!message->GetReflection()->HasField(*message, descriptor));
    std::string read;
    gp::TextFormat::PrintFieldValueToString(*message, descriptor, -1, &read);
    QCOMPARE(QString::fromStdString(read), value);
}

// Peers speak protobuf 2.x and expect repeated scalars one tag per element.
void TestSchema::noRepeatedFieldIsPacked()
{
    const QStringList files = QDir(QStringLiteral(ZENTRIA_SCHEMA_DIR))
                                  .entryList({QStringLiteral("*.proto")}, QDir::Files);
    QVERIFY(!files.isEmpty());
    QStringList packed;
    int repeatedScalars = 0;
    const auto check = [&](const gp::Descriptor* message, const auto& self) -> void {
        for (int i = 0; i < message->field_count(); ++i) {
            const gp::FieldDescriptor* field = message->field(i);
            repeatedScalars += field->is_repeated() && field->is_packable();
            if (field->is_packed())
                packed << QString::fromStdString(field->full_name());
        }
        for (int i = 0; i < message->nested_type_count(); ++i)
            self(message->nested_type(i), self);
    };
    for (const QString& name : files) {
        const gp::FileDescriptor* file =
            gp::DescriptorPool::generated_pool()->FindFileByName(name.toStdString());
        QVERIFY2(file, qPrintable(name));
        for (int i = 0; i < file->message_type_count(); ++i)
            check(file->message_type(i), check);
    }
    QVERIFY(repeatedScalars > 20);
    QCOMPARE(packed, QStringList());
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
