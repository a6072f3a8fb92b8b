#pragma once

#include <QString>
#include <QThread>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QTemporaryFile;

// Downloads one URL over plain HTTP into a temporary file of its own, on its
// own thread. An answer with any HTTP status is downloaded like a file; only a
// transfer that breaks off (refused, reset, timed out, stalled) is an error,
// and then no file is handed on.
class HttpGet : public QThread
{
    Q_OBJECT
public:
    explicit HttpGet(QObject* parent = nullptr);
    ~HttpGet() override;

    // Synchronous: blocks until the file is there (or the time-out) and
    // returns its path, empty on error. Asynchronous: returns at once with an
    // empty text; the path arrives with finished().
    QString get(const QUrl& url, bool asynchronous);

    // A synchronous get ends after this long whatever the server does.
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }
    // An asynchronous get ends when no data has come for this long.
    void setStallTimeout(int milliseconds) { m_stallTimeout = milliseconds; }
    // Empty: the platform's default temporary name.
    void setFileTemplate(const QString& nameTemplate) { m_fileTemplate = nameTemplate; }

    QString errorText() const { return m_errorText; }

signals:
    void progress(int percent);
    void finished(const QString& fileName);

protected:
    void run() override;

private:
    static constexpr qint64 progressReadSize = 256 * 1024;

    QNetworkReply* sendRequest(QNetworkAccessManager& manager);
    QString timeoutText() const;
    void onDataReadProgress(qint64 received, qint64 total);
    void onRequestFinished(QNetworkReply* reply, QTemporaryFile& file);

    bool m_asynchronous = false;
    QString m_resultPath;
    QUrl m_url;
    QString m_errorText;
    QString m_fileTemplate;
    int m_timeout = 2500;
    int m_stallTimeout = 15000;
    int m_lastPercent = -1;
};
