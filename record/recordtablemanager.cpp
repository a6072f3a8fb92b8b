#include "recordtablemanager.h"

#include "appinfo.h"
#include "channel.h"
#include "channelmanager.h"
#include "keepawake.h"
#include "messageboxes.h"
#include "recordtablefile.h"
#include "serverclock.h"
#include "settings.h"
#include "telecast.h"

#include <QApplication>

#include <algorithm>
#include <utility>

namespace {

const int kChoiceSeconds = 30;

QString unknown()
{
    return RecordTableManager::tr("<unknown>").toHtmlEscaped();
}

// One side of an overlap in the choice dialog.
QString describe(const Telecast* telecast)
{
    const Channel* channel = telecast ? telecast->channel() : nullptr;
    return QStringLiteral("<b>%1</b> - <b>%2</b> starting at <b>%3</b>")
        .arg(channel ? channel->name().toHtmlEscaped() : unknown(),
             telecast ? telecast->title().toHtmlEscaped() : unknown(),
             telecast ? RecordTableFile::formatStart(telecast->start()) : unknown());
}

qint64 minuteOf(qint64 seconds)
{
    return seconds >= 0 ? seconds / 60 : (seconds - 59) / 60;
}

}  // namespace

RecordTableManager* RecordTableManager::instance()
{
    // Never deleted: telecasts reach it through their flag until exit.
    static RecordTableManager* const table = new RecordTableManager;
    return table;
}

RecordTableManager::RecordTableManager(QObject* parent)
    : QObject(parent),
      m_keepAwake(KeepAwake::create(QString::fromLatin1(AppInfo::name),
                                    QStringLiteral("Telecasts are scheduled for recording")))
{
    Telecast::setRecordSchedule(this);
}

RecordTableManager::~RecordTableManager()
{
    Telecast::setRecordSchedule(nullptr);
}

void RecordTableManager::setChannelManager(ChannelManager* manager)
{
    if (manager == m_channelManager)
        return;
    if (m_channelManager)
        disconnect(m_channelManager, nullptr, this, nullptr);
    m_channelManager = manager;
    if (!manager)
        return;
    connect(manager, &ChannelManager::loadFinished, this, &RecordTableManager::load);
    connect(manager, &ChannelManager::loadStarted, this, &RecordTableManager::clear);
    if (manager->isLoaded())
        load();
}

bool RecordTableManager::add(Telecast* telecast, bool silent)
{
    const bool fromFile = std::exchange(m_resolving, false);
    if (!telecast)
        return false;
    if (m_entries.contains(telecast))
        return true;
    if (!m_channelManager)
        qDebug("[%s] !!! Adding telecast while channelManager is not set !!!",
               "RecordTableManager::add");

    const QList<Telecast*> overlaps = overlapsOf(telecast);
    if (!overlaps.isEmpty()) {
        if (silent)
            return false;
        // The question runs an event loop: the telecasts may go meanwhile.
        QPointer<Telecast> added(telecast);
        QList<QPointer<Telecast>> old(overlaps.cbegin(), overlaps.cend());
        const bool takeNew = chooseNewOver(telecast, overlaps);
        if (m_loading)
            m_saveAfterLoading = true;
        if (!takeNew || !added)
            return false;
        for (const QPointer<Telecast>& entry : old) {
            if (!entry)
                continue;
            entry->setRecordScheduled(false);
            remove(entry);
        }
        if (m_entries.contains(telecast))
            return true;  // scheduled while the question was open
    }

    insert(telecast);
    // A caller that adds directly still finds the flag set; setting it comes
    // back here and finds the telecast in the table.
    if (!telecast->isRecordScheduled())
        telecast->setRecordScheduled(true);
    followKeepAwake();
    if (!m_loading)
        save();
    else if (!fromFile)
        m_saveAfterLoading = true;
    emit changed();
    return true;
}

QList<Telecast*> RecordTableManager::overlapsOf(const Telecast* telecast) const
{
    // Intervals that only touch do not overlap.
    QList<Telecast*> overlaps;
    for (Telecast* entry : m_entries) {
        if (entry->start() < telecast->stop() && entry->stop() > telecast->start())
            overlaps.append(entry);
    }
    return overlaps;
}

bool RecordTableManager::chooseNewOver(const Telecast* telecast, const QList<Telecast*>& overlaps)
{
    QStringList old;
    for (const Telecast* entry : overlaps)
        old.append(describe(entry));
    const QString title = MessageBoxes::title(tr("Question"));
    const QString text =
        QStringLiteral("Scheduled telecasts overlap. You need to choose only one:");
    const QStringList choices{describe(telecast), old.join(QStringLiteral("<br/>"))};
    const int chosen = m_chooseOverlap ? m_chooseOverlap(title, text, choices)
                                       : MessageBoxes::choose(QApplication::activeWindow(), title,
                                                              text, choices, kChoiceSeconds);
    return chosen == 0;
}

// Before the first entry that does not start earlier: among equal starts the
// newest comes first.
void RecordTableManager::insert(Telecast* telecast)
{
    const auto place = std::find_if(m_entries.begin(), m_entries.end(), [&](const Telecast* entry) {
        return entry->start() >= telecast->start();
    });
    m_entries.insert(place, telecast);
    connect(telecast, &QObject::destroyed, this, [this, telecast] { forget(telecast); });
}

void RecordTableManager::remove(Telecast* telecast)
{
    if (!telecast)
        return;
    if (telecast->isRecordScheduled())
        telecast->setRecordScheduled(false);  // comes back here with the flag clear
    const qsizetype index = m_entries.indexOf(telecast);
    if (index < 0)
        return;
    m_entries.removeAt(index);
    disconnect(telecast, &QObject::destroyed, this, nullptr);
    followKeepAwake();
    if (m_loading)
        m_saveAfterLoading = true;
    else
        save();
    emit changed();
}

// A telecast deleted with its channel list leaves the table as the list's
// reload would have cleared it: the file keeps it.
void RecordTableManager::forget(Telecast* telecast)
{
    m_entries.removeAll(telecast);
    ++m_generation;
    followKeepAwake();
}

Telecast* RecordTableManager::at(int index) const
{
    return m_entries.value(index, nullptr);
}

Telecast* RecordTableManager::nextPending() const
{
    const qint64 now = ServerClock::serverLocalNow();
    const auto pending = std::find_if(m_entries.cbegin(), m_entries.cend(),
                                      [now](const Telecast* entry) { return entry->stop() > now; });
    return pending == m_entries.cend() ? nullptr : *pending;
}

QString RecordTableManager::filePath() const
{
    return QStringLiteral("%1/record-table.txt").arg(Settings::dataDirectory());
}

void RecordTableManager::setOverlapChooser(OverlapChooser chooser)
{
    m_chooseOverlap = std::move(chooser);
}

void RecordTableManager::setKeepAwake(std::unique_ptr<KeepAwake> keepAwake)
{
    if (m_keepAwake && m_awake)
        m_keepAwake->setOn(false);
    m_keepAwake = std::move(keepAwake);
    if (m_keepAwake && m_awake)
        m_keepAwake->setOn(true);
}

void RecordTableManager::followKeepAwake()
{
    const bool awake = !m_entries.isEmpty();
    if (awake == m_awake)
        return;
    m_awake = awake;
    if (m_keepAwake)
        m_keepAwake->setOn(awake);
}

void RecordTableManager::clear()
{
    for (Telecast* telecast : std::as_const(m_entries))
        disconnect(telecast, &QObject::destroyed, this, nullptr);
    m_entries.clear();
    ++m_generation;
    followKeepAwake();
}

void RecordTableManager::save()
{
    if (!m_channelManager || !m_channelManager->isLoaded()) {
        qDebug("[%s] !!! trying to save record table without channelManager loaded !!! ",
               "RecordTableManager::save");
        return;
    }
    const qint64 now = ServerClock::serverLocalNow();
    QList<RecordTableFile::Line> lines;
    for (const Telecast* telecast : std::as_const(m_entries)) {
        const Channel* channel = telecast ? telecast->channel() : nullptr;
        if (!channel || telecast->stop() <= now)
            continue;
        lines.append(
            {channel->name(), telecast->title(), RecordTableFile::formatStart(telecast->start())});
    }
    const QString path = filePath();
    QString error;
    switch (RecordTableFile::write(path, lines, &error)) {
        case RecordTableFile::WriteResult::Written:
            break;
        case RecordTableFile::WriteResult::NotOpened:
            qDebug("[%s] Cannot open %s for writing", "RecordTableManager::save",
                   qUtf8Printable(path));
            break;
        case RecordTableFile::WriteResult::NotWritten:
            qDebug("[%s] Cannot write %s: %s", "RecordTableManager::save", qUtf8Printable(path),
                   qUtf8Printable(error));
            break;
    }
}

void RecordTableManager::load()
{
    {
        const QSignalBlocker blocker(this);
        if (m_channelManager && m_channelManager->isLoaded())
            readFile();
        else
            qDebug("[%s] !!! trying to load record table without channelManager loaded !!! ",
                   "RecordTableManager::load");
    }
    emit changed();
}

void RecordTableManager::readFile()
{
    // Every line is read before any is resolved: a change of the table while
    // resolving writes the file.
    const QStringList lines = RecordTableFile::read(filePath());
    if (lines.isEmpty())
        return;
    QHash<QString, Channel*> channels;  // by case-folded name, the first of each
    for (Channel* channel : *m_channelManager->GetChannelsList()) {
        const QString key = channel->name().toCaseFolded();
        if (!channels.contains(key))
            channels.insert(key, channel);
    }

    const bool nested = std::exchange(m_loading, true);
    if (!nested)
        m_saveAfterLoading = false;
    const int generation = ++m_generation;
    for (int i = 0; i < lines.size() && generation == m_generation; ++i)
        resolve(i + 1, lines.at(i), channels);
    if (nested)
        return;
    m_loading = false;
    if (m_saveAfterLoading)
        save();
}

void RecordTableManager::resolve(int lineNumber, const QString& text,
                                 const QHash<QString, Channel*>& channels)
{
    const char* const name = "RecordTableManager::load";
    const std::optional<RecordTableFile::Line> line = RecordTableFile::parse(text);
    if (!line) {
        if (!text.isEmpty())
            qDebug("[%s] line %d: skipping malformed entry", name, lineNumber);
        return;
    }
    const Channel* channel = channels.value(line->channel.toCaseFolded());
    if (!channel) {
        qDebug("[%s] line %d: invalid channel name \"%s\"", name, lineNumber,
               qUtf8Printable(line->channel));
        return;
    }
    // A telecast whose start is written as the line's: one in the same minute.
    if (const std::optional<qint64> start = RecordTableFile::parseStart(line->start)) {
        for (Telecast* telecast : channel->telecasts()) {
            if (minuteOf(telecast->start()) == *start / 60 && telecast->title() == line->title) {
                m_resolving = true;
                telecast->setRecordScheduled(true);
                m_resolving = false;
                return;
            }
        }
    }
    qDebug("[%s] line %d: invalid telecast \"%s\" at %s", name, lineNumber,
           qUtf8Printable(line->title), qUtf8Printable(line->start));
}
