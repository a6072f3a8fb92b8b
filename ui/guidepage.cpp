#include "guidepage.h"

#include "channel.h"
#include "channelmanager.h"
#include "telecast.h"

#include <QDate>
#include <QLocale>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <array>

namespace {

constexpr qint64 kSecondsPerDay = 24 * 60 * 60;
constexpr qint64 kJulianDayOfEpoch = 2440588;  // 1970-01-01

const QString kLinkScheme = QStringLiteral("telecast");

// The calendar day and the time of day of server local seconds, read as UTC:
// the values already carry the display time zone.
struct BrokenDown
{
    QDate date;
    int hour = 0;
    int minute = 0;
};

BrokenDown brokenDown(qint64 seconds)
{
    qint64 days = seconds / kSecondsPerDay;
    qint64 rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        --days;
        rest += kSecondsPerDay;
    }
    return {QDate::fromJulianDay(kJulianDayOfEpoch + days), int(rest / 3600),
            int(rest % 3600 / 60)};
}

void appendPadded(QString& out, int value, int width)
{
    std::array<QChar, 12> digits;
    int count = 0;
    unsigned rest = unsigned(value < 0 ? -value : value);
    do {
        digits[count++] = QChar(u'0' + rest % 10);
        rest /= 10;
    } while (rest != 0 && count < int(digits.size()));
    for (int i = count; i < width; ++i)
        out += u'0';
    while (count > 0)
        out += digits[--count];
}

void appendTime(QString& out, const BrokenDown& at)
{
    appendPadded(out, at.hour, 2);
    out += u':';
    appendPadded(out, at.minute, 2);
}

// Titles and names come from the server; markup in them stays text.
void appendText(QString& out, const QString& text)
{
    for (const QChar c : text) {
        if (c == u'<' || c == u'>' || c == u'&' || c == u'"') {
            out += text.toHtmlEscaped();
            return;
        }
    }
    out += text;
}

// The number a record link carries. QUrl writes a host that is a number
// below 2^32 as an IPv4 address, so that form is read back as well.
quint64 linkNumber(const QUrl& link)
{
    if (link.scheme() != kLinkScheme)
        return 0;
    const QString host = link.host();
    bool ok = false;
    const quint64 number = host.toULongLong(&ok);
    if (ok)
        return number;
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4)
        return 0;
    quint64 address = 0;
    for (const QString& part : parts) {
        const uint byte = part.toUInt(&ok);
        if (!ok || byte > 255)
            return 0;
        address = address << 8 | byte;
    }
    return address;
}

}  // namespace

GuidePage::GuidePage(QObject* parent) : QObject(parent), m_partTimer(new QTimer(this))
{
    m_partTimer->setInterval(0);
    connect(m_partTimer, &QTimer::timeout, this, &GuidePage::sendNextPart);
}

QStringList GuidePage::tokens(const QString& text)
{
    QStringList result;
    QString token;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        if (!quoted && c.isSpace()) {
            if (!token.isEmpty())
                result.append(token);
            token.clear();
            continue;
        }
        token += c;
    }
    if (!token.isEmpty())
        result.append(token);
    return result;
}

GuidePage::Query GuidePage::parse(const QString& text)
{
    static const QString channelMark = QStringLiteral("ch:");
    Query query;
    QStringList titleWords;
    for (const QString& token : tokens(text)) {
        const qsizetype mark = token.indexOf(channelMark);
        if (mark < 0) {
            titleWords.append(token);
            continue;
        }
        query.channelName = token.mid(mark + channelMark.size());
        query.channelName.remove(u'"');
    }
    query.title = titleWords.join(u' ');
    return query;
}

QString GuidePage::recordLink(const Telecast* telecast)
{
    return kLinkScheme + QStringLiteral("://") + QString::number(quintptr(telecast));
}

QString GuidePage::format(const QList<Telecast*>& telecasts, qint64 now)
{
    return formatParts(telecasts, now, telecasts.size()).constFirst();
}

// Each part after the first begins with a telecast under the headers of the
// one before, so that appending a part to a document that holds the parts
// before it gives the document of the whole page.
QStringList GuidePage::formatParts(const QList<Telecast*>& telecasts, qint64 now,
                                   qsizetype rowsPerPart)
{
    if (telecasts.isEmpty())
        return {tr("Can't find anything!")};

    const QString toRecord = tr("Click to record");
    const QString toCancel = tr("Click to cancel record");
    const QLocale locale;
    std::array<QString, 8> dayNames;
    for (int day = 1; day <= 7; ++day)
        dayNames[day] = locale.dayName(day);

    // The first part reaches a part's length beyond the first telecast on
    // air: the view scrolls to it at once and finds the rows after it there.
    const auto onAir = std::find_if(telecasts.begin(), telecasts.end(), [now](const Telecast* t) {
        return t->start() <= now && t->stop() > now;
    });
    const qsizetype firstCut =
        onAir == telecasts.end() ? 0 : (onAir - telecasts.begin()) + rowsPerPart;

    constexpr qsizetype kRowSize = 240;
    QStringList parts;
    QString html;
    html.reserve(qMin(telecasts.size(), rowsPerPart) * kRowSize);
    qsizetype rows = 0;
    const Channel* previousChannel = nullptr;
    int headerDay = 0;
    for (qsizetype i = 0; i < telecasts.size(); ++i, ++rows) {
        const Telecast* telecast = telecasts[i];
        const Channel* channel = telecast->channel();
        const BrokenDown start = brokenDown(telecast->start());
        const int day = start.date.dayOfWeek();
        const bool channelChanged = i == 0 || channel != previousChannel;
        if (rows >= rowsPerPart && i >= firstCut && !channelChanged && day == headerDay) {
            parts.append(html);
            html.clear();
            html.reserve(rowsPerPart * kRowSize);
            rows = 0;
        }
        if (channelChanged) {
            html += QStringLiteral("<h1>");
            appendText(html, channel ? channel->name() : QString());
            html += QStringLiteral("</h1>");
        }
        if (channelChanged || day != headerDay) {
            html += QStringLiteral("<font color=\"DarkGreen\"><h3>");
            appendPadded(html, start.date.day(), 2);
            html += u'.';
            appendPadded(html, start.date.month(), 2);
            html += u'.';
            appendPadded(html, start.date.year(), 4);
            html += QStringLiteral(" - ");
            html += dayNames[day];
            html += QStringLiteral("</h3></font>");
            headerDay = day;
        }
        previousChannel = channel;

        html += QStringLiteral("<p>");
        if (telecast->stop() < now) {
            html += QStringLiteral("<font color=\"lightgrey\"><strong>");
            appendTime(html, start);
            html += QStringLiteral("</strong>&nbsp;&nbsp;&nbsp;");
            appendText(html, telecast->title());
            html += QStringLiteral("</font></p>");
            continue;
        }
        const bool scheduled = telecast->isRecordScheduled();
        html += QStringLiteral("<a href=\"");
        html += recordLink(telecast);
        html += QStringLiteral("\" title=\"");
        html += scheduled ? toCancel : toRecord;
        html += scheduled
                    ? QStringLiteral("\"><img src=\":/images/record.png\"/></a>&nbsp;&nbsp;")
                    : QStringLiteral("\"><img src=\":/images/no-record.png\"/></a>&nbsp;&nbsp;");
        if (telecast->start() <= now && telecast->stop() > now) {
            html += QStringLiteral("<a name=\"#currentTelecast\" id=\"#currentTelecast\"></a>");
            appendTime(html, start);
            html += QStringLiteral("&nbsp;&nbsp;&nbsp;");
            appendText(html, telecast->title());
        } else {
            html += QStringLiteral("<strong>");
            appendTime(html, start);
            html += QStringLiteral("&nbsp;&nbsp;&nbsp;");
            appendText(html, telecast->title());
            html += QStringLiteral("</strong>");
        }
        html += QStringLiteral("</p>");
    }
    parts.append(html);
    return parts;
}

QString GuidePage::render(qint64 now)
{
    m_pendingParts = formatParts(result(), now, kRowsAtOnce);
    const QString first = m_pendingParts.takeFirst();
    if (m_pendingParts.isEmpty())
        m_partTimer->stop();
    else
        m_partTimer->start();
    return first;
}

void GuidePage::sendNextPart()
{
    if (!m_pendingParts.isEmpty())
        emit moreHtml(m_pendingParts.takeFirst());
    if (m_pendingParts.isEmpty())
        m_partTimer->stop();
}

void GuidePage::search(const ChannelManager& channels, const QString& text)
{
    const Query query = parse(text);
    setResult(channels.findTelecasts(query.channelName, query.title));
}

void GuidePage::setResult(const QList<Telecast*>& telecasts)
{
    m_result.clear();
    m_result.reserve(telecasts.size());
    for (Telecast* telecast : telecasts)
        m_result.append(telecast);
}

QList<Telecast*> GuidePage::result() const
{
    QList<Telecast*> live;
    live.reserve(m_result.size());
    for (const QPointer<Telecast>& telecast : m_result) {
        if (telecast)
            live.append(telecast.data());
    }
    return live;
}

Telecast* GuidePage::telecastOf(const QUrl& link) const
{
    const quint64 number = linkNumber(link);
    if (number == 0)
        return nullptr;
    for (const QPointer<Telecast>& telecast : m_result) {
        if (telecast && quintptr(telecast.data()) == number)
            return telecast.data();
    }
    return nullptr;
}

bool GuidePage::toggle(const QUrl& link)
{
    Telecast* telecast = telecastOf(link);
    if (!telecast)
        return false;
    m_toggling = true;
    telecast->setRecordScheduled(!telecast->isRecordScheduled());
    m_toggling = false;
    return true;
}
