#include "httprequestparser.h"

#include <QList>

namespace {

constexpr qsizetype kMaxHeadBytes = 64 * 1024;
constexpr qint64 kMaxBodyBytes = 64 * 1024 * 1024;
const QByteArray kHeadEnd = "\r\n\r\n";

bool parseRequestLine(const QByteArray& line, HttpRequest* request)
{
    const QList<QByteArray> parts = line.split(' ');
    if (parts.size() != 3 || parts[0].isEmpty() || !parts[1].startsWith('/') ||
        !parts[2].startsWith("HTTP/1.")) {
        return false;
    }
    request->method = parts[0];
    request->target = parts[1];
    request->version = parts[2];
    return true;
}

bool parseHead(const QByteArray& head, HttpRequest* request)
{
    const QList<QByteArray> lines = head.split('\n');
    if (!parseRequestLine(lines.first().trimmed(), request))
        return false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return false;
        request->headers.append(
            {line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()});
    }
    return true;
}

}  // namespace

HttpRequestParser::Result HttpRequestParser::take(QByteArray& input, HttpRequest* request)
{
    while (input.startsWith("\r\n"))
        input.remove(0, 2);
    const qsizetype headEnd = input.indexOf(kHeadEnd);
    if (headEnd < 0)
        return input.size() > kMaxHeadBytes ? fail(431, "request head too large")
                                            : Result::Incomplete;

    HttpRequest parsed;
    if (!parseHead(input.left(headEnd), &parsed))
        return fail(400, "malformed request head");
    if (!parsed.header("transfer-encoding").isEmpty())
        return fail(501, "chunked request bodies are not supported");

    bool lengthOk = true;
    const QByteArray lengthText = parsed.header("content-length");
    const qint64 length = lengthText.isEmpty() ? 0 : lengthText.toLongLong(&lengthOk);
    if (!lengthOk || length < 0)
        return fail(400, "bad content-length");
    if (length > kMaxBodyBytes)
        return fail(413, "request body too large");

    const qint64 bodyStart = headEnd + kHeadEnd.size();
    if (input.size() < bodyStart + length)
        return Result::Incomplete;
    parsed.body = input.mid(bodyStart, length);
    input.remove(0, bodyStart + length);
    *request = parsed;
    return Result::Complete;
}

HttpRequestParser::Result HttpRequestParser::fail(int status, const QByteArray& text)
{
    m_errorStatus = status;
    m_errorText = text;
    return Result::Malformed;
}
