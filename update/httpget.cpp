#include "httpget.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryFile>
#include <QTimer>

namespace {

// A status page is an answer like any other; a transfer that broke off
// before or during the body is not.
bool transferFailed(const QNetworkReply* reply)
{
    if (reply->error() == QNetworkReply::NoError)
        return false;
    return reply->error() < QNetworkReply::ContentAccessDenied ||
           !reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
}

}  // namespace

HttpGet::HttpGet(QObject* parent) : QThread(parent) {}

HttpGet::~HttpGet()
{
    quit();
    wait();
}

QString HttpGet::get(const QUrl& url, bool asynchronous)
{
    if (isRunning())
        return {};
    m_url = url;
    m_asynchronous = asynchronous;
    start();
    if (asynchronous)
        return {};
    wait();
    return m_resultPath;
}

void HttpGet::run()
{
    m_resultPath.clear();
    m_errorText.clear();
    m_lastPercent = -1;
    QTemporaryFile file;
    if (!m_fileTemplate.isEmpty())
        file.setFileTemplate(m_fileTemplate);
    file.setAutoRemove(false);
    if (!file.open()) {
        m_errorText = file.errorString();
        if (m_asynchronous)
            emit finished(m_resultPath);
        return;
    }

    QNetworkAccessManager manager;
    QNetworkReply* reply = sendRequest(manager);
    connect(reply, &QNetworkReply::readyRead, reply, [this, &file, reply] {
        file.write(reply->readAll());
        if (m_asynchronous)
            onDataReadProgress(file.size(),
                               reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    });
    connect(reply, &QNetworkReply::finished, reply,
            [this, &file, reply] { onRequestFinished(reply, file); });
    exec();
    if (!reply->isFinished()) {  // the worker is being destroyed
        reply->disconnect();
        reply->abort();
        file.remove();
    }
}

QNetworkReply* HttpGet::sendRequest(QNetworkAccessManager& manager)
{
    QNetworkRequest request(m_url);
    if (m_asynchronous)
        request.setTransferTimeout(m_stallTimeout);
    QNetworkReply* reply = manager.get(request);
    if (m_asynchronous) {
        // Progress is counted as the body is written, in small reads: Qt's own
        // progress signal comes at most every few milliseconds, and on a fast
        // line a whole archive arrives between two of them.
        reply->setReadBufferSize(progressReadSize);
    } else {
        // Also a server that accepts and never answers ends the wait in time.
        QTimer::singleShot(m_timeout, reply, &QNetworkReply::abort);
    }
    return reply;
}

QString HttpGet::timeoutText() const
{
    return m_asynchronous ? tr("no data for %1 ms").arg(m_stallTimeout)
                          : tr("no answer within %1 ms").arg(m_timeout);
}

void HttpGet::onDataReadProgress(qint64 received, qint64 total)
{
    if (total <= 0)
        return;
    const int percent = int(100.0 * double(received) / double(total));
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    emit progress(percent);
}

void HttpGet::onRequestFinished(QNetworkReply* reply, QTemporaryFile& file)
{
    if (reply->isOpen())  // not after an abort
        file.write(reply->readAll());
    if (transferFailed(reply)) {
        m_errorText = reply->error() == QNetworkReply::OperationCanceledError
                          ? timeoutText()
                          : reply->errorString();
        file.remove();
    } else {
        m_resultPath = file.fileName();
        file.close();
    }
    if (m_asynchronous)
        emit finished(m_resultPath);
    quit();
}
