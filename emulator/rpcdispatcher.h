#pragma once

#include <QString>

#include <google/protobuf/descriptor.h>
#include <google/protobuf/message.h>

#include <functional>
#include <map>
#include <memory>

// One method the emulator answers, at POST /server/<Service>/<Method>.pb.
struct RpcMethod
{
    QString name;  // "Auth"
    QString path;  // "/server/TvServerService/Auth.pb"
    const google::protobuf::Message* requestPrototype = nullptr;
    const google::protobuf::Message* responsePrototype = nullptr;
    std::function<std::unique_ptr<google::protobuf::Message>(const google::protobuf::Message&)>
        answer;
};

class RpcDispatcher
{
public:
    // The message types must be the method's own in the schema.
    template <class Request, class Response>
    void add(const google::protobuf::ServiceDescriptor* service, const std::string& method,
             std::function<void(const Request&, Response&)> handler)
    {
        insert(service, method, Request::default_instance(), Response::default_instance(),
               [handler](const google::protobuf::Message& request) {
                   auto response = std::make_unique<Response>();
                   handler(static_cast<const Request&>(request), *response);
                   return std::unique_ptr<google::protobuf::Message>(std::move(response));
               });
    }

    const RpcMethod* findByPath(const QString& path) const;
    const RpcMethod* findByName(const QString& name) const;

private:
    void insert(const google::protobuf::ServiceDescriptor* service, const std::string& method,
                const google::protobuf::Message& request, const google::protobuf::Message& response,
                decltype(RpcMethod::answer) answer);

    std::map<QString, RpcMethod> m_methodsByPath;
};

namespace Rpc {

// Protobuf text format on one line, UTF-8 text left readable.
QString toText(const google::protobuf::Message& message);

// Every response carries its result code in field 1, an enum. value is an
// enum value name or a number, which need not be one of the enum's values.
bool setResult(google::protobuf::Message& response, const QString& value);
bool isResultValue(const google::protobuf::Message& response, const QString& value);

// NoAuth, or 1 where the result enum has no NoAuth: the schema's "refused".
void setRefused(google::protobuf::Message& response);

}  // namespace Rpc
