#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class ChannelManager;
class Telecast;
class QTimer;
class QUrl;

// What the programme guide page shows: the telecasts of the last search, as
// HTML with a record link on every telecast that has not ended. The window
// puts the HTML into its text browser and hands the links back.
class GuidePage : public QObject
{
    Q_OBJECT
public:
    // A search text taken apart: a token holding "ch:" names the channel,
    // the other tokens are the title query.
    struct Query
    {
        QString channelName;
        QString title;
    };

    // A page longer than this comes in parts of about this many telecasts,
    // so that the first screen shows at once whatever the result's size.
    static constexpr qsizetype kRowsAtOnce = 400;

    explicit GuidePage(QObject* parent = nullptr);

    // Blank-separated tokens; blanks inside double quotes do not separate and
    // the quotes stay in the token.
    static QStringList tokens(const QString& text);
    static Query parse(const QString& text);

    // The page of the telecasts in their order, now in server local seconds.
    static QString format(const QList<Telecast*>& telecasts, qint64 now);
    static QString recordLink(const Telecast* telecast);
    // The same page in parts of at least rowsPerPart telecasts (the last may
    // hold fewer), each part after the first cut before a telecast that needs
    // no header.
    static QStringList formatParts(const QList<Telecast*>& telecasts, qint64 now,
                                   qsizetype rowsPerPart);

    // Runs the search and keeps what it found as the result.
    void search(const ChannelManager& channels, const QString& text);
    void setResult(const QList<Telecast*>& telecasts);
    // The telecasts of the last search that still exist.
    QList<Telecast*> result() const;
    QString html(qint64 now) const { return format(result(), now); }
    // The first part of the result's page; the other parts follow through
    // moreHtml(), one for each pass of the event loop, until the next render.
    QString render(qint64 now);
    bool isRendering() const { return !m_pendingParts.isEmpty(); }

    // Where the view should be once the page is long enough to be there
    // again; -1 for nowhere.
    int scrollToRestore() const { return m_scrollToRestore; }
    void setScrollToRestore(int position) { m_scrollToRestore = position; }

    // The telecast of the result a record link names; null for any other
    // link, so a stale or made-up number never reaches an object.
    Telecast* telecastOf(const QUrl& link) const;
    // Schedules or unschedules the telecast of the link; false when the link
    // names none of the result.
    bool toggle(const QUrl& link);
    // While a toggle goes through the record table, the table's change
    // signal needs no page of its own: the toggle renders afterwards.
    bool isToggling() const { return m_toggling; }

signals:
    void moreHtml(const QString& html);

private:
    void sendNextPart();

    QList<QPointer<Telecast>> m_result;
    bool m_toggling = false;
    QTimer* m_partTimer;
    QStringList m_pendingParts;
    int m_scrollToRestore = -1;
};
