#pragma once

#include <QByteArray>

#include "httpmessage.h"

// Cuts complete requests off the front of a connection's input. Bodies are
// framed by Content-Length only; a chunked request is refused.
class HttpRequestParser
{
public:
    enum class Result { Incomplete, Complete, Malformed };

    Result take(QByteArray& input, HttpRequest* request);

    // What to answer after Malformed.
    int errorStatus() const { return m_errorStatus; }
    QByteArray errorText() const { return m_errorText; }

private:
    Result fail(int status, const QByteArray& text);

    int m_errorStatus = 400;
    QByteArray m_errorText;
};
