#include "filmserver.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <optional>

namespace {

const QByteArray kAcceptRanges = "Accept-Ranges";

struct ByteRange
{
    qint64 first = 0;
    qint64 last = 0;  // inclusive
    bool partial = false;
};

// The bytes a Range header asks of a file of size bytes. No header, or one
// that is not a single byte range, asks for the whole file; nullopt means the
// range lies beyond the end.
std::optional<ByteRange> requestedRange(const QByteArray& header, qint64 size)
{
    static const QRegularExpression single("^bytes=(\\d*)-(\\d*)$");
    const QRegularExpressionMatch match = single.match(QString::fromLatin1(header).trimmed());
    const ByteRange whole{0, size - 1, false};
    if (!match.hasMatch() || (match.capturedLength(1) == 0 && match.capturedLength(2) == 0))
        return whole;
    const qint64 first = match.captured(1).toLongLong();
    const qint64 last = match.captured(2).toLongLong();
    if (match.capturedLength(1) == 0) {  // "bytes=-n": the last n bytes
        if (last == 0)
            return std::nullopt;
        return ByteRange{qMax<qint64>(0, size - last), size - 1, true};
    }
    if (match.capturedLength(2) > 0 && last < first)
        return whole;
    if (first >= size)
        return std::nullopt;
    return ByteRange{first, match.capturedLength(2) > 0 ? qMin(last, size - 1) : size - 1, true};
}

}  // namespace

HttpResponse FilmServer::answer(const QString& file, const QByteArray& range) const
{
    QFile film(QDir(m_directory).filePath(file));
    if (!m_catalog.offers(file) || !film.open(QIODevice::ReadOnly))
        return HttpResponse::plainText(404, "not found");
    const qint64 size = film.size();
    const std::optional<ByteRange> bytes = requestedRange(range, size);
    if (!bytes) {
        HttpResponse refusal = HttpResponse::plainText(416, "range not satisfiable");
        refusal.headers = {{kAcceptRanges, "bytes"},
                           {"Content-Range", "bytes */" + QByteArray::number(size)}};
        return refusal;
    }
    film.seek(bytes->first);
    HttpResponse response{bytes->partial ? 206 : 200,
                          "video/x-matroska",
                          film.read(bytes->last - bytes->first + 1),
                          {{kAcceptRanges, "bytes"}}};
    if (bytes->partial) {
        const QString contentRange =
            QStringLiteral("bytes %1-%2/%3").arg(bytes->first).arg(bytes->last).arg(size);
        response.headers.append({"Content-Range", contentRange.toLatin1()});
    }
    return response;
}
