#pragma once

#include "stb_server.pb.h"
#include "tv_server.pb.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QQueue>
#include <QString>

#include <google/protobuf/service.h>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// Carries the protobuf remote calls to the operator's server: each call is one
// HTTP POST of the serialised request to "/server/<service>/<method>.pb", and
// its answer is parsed into the response and announced by a signal named after
// the call, carrying the response by reference (receivers copy what they keep).
//
// Calls go out one at a time in the order issued, each after the previous one
// was answered, so their completions arrive in that order too.
class TvClient : public QObject, public google::protobuf::RpcChannel
{
    Q_OBJECT
public:
    // A call that gets no answer within this time fails with a network error;
    // without it one silent server would hold up every call behind it.
    static constexpr int defaultTransferTimeoutMs = 30000;

    TvClient(const QString& host, int port, QObject* parent = nullptr);
    ~TvClient() override;

    void setTransferTimeout(int milliseconds) { m_transferTimeoutMs = milliseconds; }

    // Drops every call not yet answered: none of them completes or fails, and
    // an answer still on its way is ignored. Later calls go out as usual.
    void cancelAll();

    // An HTTP error status is still an answer: only a failed connection or a
    // broken transfer counts as a transport error.
    static bool isTransportError(const QNetworkReply* reply);

    void CallMethod(const google::protobuf::MethodDescriptor* method,
                    google::protobuf::RpcController* controller,
                    const google::protobuf::Message* request, google::protobuf::Message* response,
                    google::protobuf::Closure* done) override;

signals:
    void error(QString what);
    void authorizeDone(proto::AuthResponse& response);
    void getUserInfoDone(proto::GetUserInfoResponse& response);
    void getCloseChannelImageDone(proto::GetImageUrlResponse& response);
    void getUserSettingsDone(proto::GetStbSettingsResponse& response);
    void getChannelsDone(proto::ChannelListResponse& response);
    void getUserChannelListDone(proto::UserChannelResponse& response);
    void setUserChannelListDone(proto::SetUserChannelResponse& response);
    void setStbSettingsDone(proto::SetStbSettingsResponse& response);
    void openStreamDone(proto::OpenStreamResponse& response);
    void updateStreamDone(proto::UpdateStreamResponse& response);
    void closeStreamDone(proto::CloseStreamResponse& response);
    void getServerTimeDone(proto::TimeResponse& response);

public slots:
    void authorize(proto::AuthRequest& request);
    void getUserInfo(proto::GetUserInfoRequest& request);
    void getCloseChannelImage(proto::GetImageUrlRequest& request);
    void getUserSettings(proto::GetStbSettingsRequest& request);
    void getChannels(proto::ChannelListRequest& request);
    void getUserChannelList(proto::UserChannelRequest& request);
    void setUserChannelList(proto::SetUserChannelRequest& request);
    void setStbSettings(proto::SetStbSettingsRequest& request);
    void openStream(proto::OpenStreamRequest& request);
    void updateStream(proto::UpdateStreamRequest& request);
    void closeStream(proto::CloseStreamRequest& request);
    void getServerTime(proto::TimeRequest& request);

private slots:
    void requestFinished(int id, bool isError);

private:
    struct PendingCall;

    void sendNext();
    void onReplyFinished(QNetworkReply* reply);
    QByteArray hostHeader() const;

    QString m_host;
    int m_port;
    QNetworkAccessManager* m_http;
    std::unique_ptr<proto::TvServerService_Stub> m_tvService;
    std::unique_ptr<proto::StbServerService_Stub> m_stbService;
    QMap<int, std::shared_ptr<PendingCall>> m_pending;
    QQueue<int> m_waiting;             // issued, not yet sent
    int m_inFlight = 0;                // the id on the wire, 0 when none
    QNetworkReply* m_reply = nullptr;  // the answer to m_inFlight
    int m_lastId = 0;
    int m_transferTimeoutMs = defaultTransferTimeoutMs;
};
