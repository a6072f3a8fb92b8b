#include "requestlog.h"

#include <QJsonDocument>

#include <cstdio>

#include "httpmessage.h"

bool RequestLog::openFile(const QString& path, QString* error)
{
    m_file.setFileName(path);
    if (m_file.open(QIODevice::WriteOnly | QIODevice::Append))
        return true;
    *error = QString("cannot write the log %1: %2").arg(path, m_file.errorString());
    return false;
}

QJsonObject RequestLog::describe(const HttpRequest& request, int connectionId)
{
    QJsonObject headers;
    for (const auto& [name, value] : request.headers) {
        const QString key = QString::fromLatin1(name);
        const QString text = QString::fromUtf8(value);
        // A repeated header reads as one, its values joined as HTTP allows.
        headers[key] = headers.contains(key) ? headers[key].toString() + ", " + text : text;
    }
    return {{"method", QString::fromLatin1(request.method)},
            {"path", QString::fromUtf8(request.target)},
            {"headers", headers},
            {"connection", connectionId}};
}

void RequestLog::write(const QJsonObject& entry)
{
    const QByteArray line = QJsonDocument(entry).toJson(QJsonDocument::Compact);
    printLine(line);
    if (m_file.isOpen()) {
        m_file.write(line + '\n');
        m_file.flush();
    }
}

void printLine(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}
