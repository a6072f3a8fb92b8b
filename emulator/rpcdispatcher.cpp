#include "rpcdispatcher.h"

#include <QtGlobal>

#include <google/protobuf/text_format.h>

namespace gp = google::protobuf;

void RpcDispatcher::insert(const gp::ServiceDescriptor* service, const std::string& method,
                           const gp::Message& request, const gp::Message& response,
                           decltype(RpcMethod::answer) answer)
{
    const gp::MethodDescriptor* descriptor = service->FindMethodByName(method);
    if (!descriptor || descriptor->input_type() != request.GetDescriptor() ||
        descriptor->output_type() != response.GetDescriptor()) {
        qFatal("%s.%s does not match the schema", service->name().c_str(), method.c_str());
    }
    const QString path =
        QString("/server/%1/%2.pb")
            .arg(QString::fromStdString(service->name()), QString::fromStdString(method));
    m_methodsByPath[path] = {QString::fromStdString(method), path, &request, &response,
                             std::move(answer)};
}

const RpcMethod* RpcDispatcher::findByPath(const QString& path) const
{
    const auto it = m_methodsByPath.find(path);
    return it == m_methodsByPath.end() ? nullptr : &it->second;
}

const RpcMethod* RpcDispatcher::findByName(const QString& name) const
{
    for (const auto& [path, method] : m_methodsByPath) {
        if (method.name == name)
            return &method;
    }
    return nullptr;
}

namespace Rpc {

namespace {

const gp::FieldDescriptor* resultField(const gp::Message& response)
{
    const gp::FieldDescriptor* field = response.GetDescriptor()->FindFieldByNumber(1);
    Q_ASSERT(field && field->enum_type());
    return field;
}

// The number for value, or false when value is a name the enum does not have.
bool resultNumber(const gp::Message& response, const QString& value, int* number)
{
    bool isNumber = false;
    *number = value.toInt(&isNumber);
    if (isNumber)
        return true;
    const gp::EnumValueDescriptor* named =
        resultField(response)->enum_type()->FindValueByName(value.toStdString());
    if (named)
        *number = named->number();
    return named != nullptr;
}

}  // namespace

QString toText(const gp::Message& message)
{
    gp::TextFormat::Printer printer;
    printer.SetSingleLineMode(true);
    printer.SetUseUtf8StringEscaping(true);
    std::string text;
    printer.PrintToString(message, &text);
    return QString::fromStdString(text).trimmed();
}

bool setResult(gp::Message& response, const QString& value)
{
    int number = 0;
    if (!resultNumber(response, value, &number))
        return false;
    // Cleared first: a number outside a proto2 enum goes to the unknown fields and
    // would otherwise follow the handled value on the wire.
    response.GetReflection()->ClearField(&response, resultField(response));
    response.GetReflection()->SetEnumValue(&response, resultField(response), number);
    return true;
}

bool isResultValue(const gp::Message& response, const QString& value)
{
    int number = 0;
    return resultNumber(response, value, &number);
}

void setRefused(gp::Message& response)
{
    if (!setResult(response, "NoAuth"))
        setResult(response, "1");
}

}  // namespace Rpc
