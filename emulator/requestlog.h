#pragma once

#include <QFile>
#include <QJsonObject>
#include <QString>

struct HttpRequest;

// One JSON object per request and line, on stdout and optionally in a file,
// flushed at once so that a test reading either sees every request it caused.
class RequestLog
{
public:
    bool openFile(const QString& path, QString* error);

    // method, path (the target with its query), headers (lower-case names)
    // and the number of the connection the request came on.
    static QJsonObject describe(const HttpRequest& request, int connectionId);

    void write(const QJsonObject& entry);

private:
    QFile m_file;
};

// Writes one line to stdout and flushes it.
void printLine(const QByteArray& line);
