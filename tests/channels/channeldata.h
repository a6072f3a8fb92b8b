#pragma once

#include "channel.h"
#include "channelchangeguard.h"
#include "jsonrows.h"

#include <google/protobuf/text_format.h>

#include <QFile>
#include <QTest>

// Files of tests/data/channels: server answers in protobuf text format,
// tables of cases in JSON, pictures.
namespace ChannelData {

inline QByteArray read(const QString& name)
{
    QFile file(QStringLiteral(ZENTRIA_CHANNEL_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    return file.readAll();
}

// Required fields the cases do not care about may be left out.
template <typename Message>
Message answer(const QString& name)
{
    Message message;
    google::protobuf::TextFormat::Parser parser;
    parser.AllowPartialMessage(true);
    if (!parser.ParseFromString(read(name).toStdString(), &message))
        qFatal("%s is not a %s", qPrintable(name), message.GetTypeName().c_str());
    return message;
}

// One data row "c" per case of the table, a JSON object named by its "case".
inline void addCases(const QString& file, const QString& table)
{
    addJsonRows(QStringLiteral(ZENTRIA_CHANNEL_DATA "/") + file, table, "c",
                QStringLiteral("case"));
}

// A channel-change guard that answers as told and remembers, by name, what
// it was asked: a reload deletes the channels it was asked about.
struct ScriptedGuard final : ChannelChangeGuard
{
    bool allow = true;
    QList<QPair<QString, QString>> asked;  // a null name: no channel

    bool allowChannelChange(Channel* from, Channel* to) override
    {
        asked.append({nameOf(from), nameOf(to)});
        return allow;
    }
    static QString nameOf(const Channel* channel) { return channel ? channel->name() : QString(); }
};

}  // namespace ChannelData
