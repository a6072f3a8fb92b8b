#include "jsonrows.h"
#include "logging.h"
#include "messageboxes.h"
#include "repeatfolder.h"
#include "temporaryprofile.h"

#include <QSemaphore>
#include <QThread>
#include <QTimer>

#include <functional>

namespace {

struct ShownBox
{
    MessageBoxes::Kind kind;
    QString title;
    QString text;
    bool onGuiThread;
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The messages of the log, each checked for its time stamp and CR LF.
QStringList loggedMessages()
{
    static const QRegularExpression line(R"(^(\d\d:\d\d:\d\d\.\d\d\d): (.*)\r$)");
    QStringList messages;
    const QList<QByteArray> lines = readFile(Logging::logFilePath()).split('\n');
    for (const QByteArray& text : lines.mid(0, lines.size() - 1)) {
        const QRegularExpressionMatch match = line.match(QString::fromUtf8(text));
        if (!match.hasMatch() || !QTime::fromString(match.captured(1), "hh:mm:ss.zzz").isValid())
            return {"malformed line: " + QString::fromUtf8(text)};
        messages << match.captured(2);
    }
    return messages;
}

// Runs the event loop until something ends it; a loop nobody ends fails the
// test instead of hanging it.
int runEventLoop()
{
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    guard.start(10000);
    return QCoreApplication::exec();
}

}  // namespace

class TestLogging : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void messageLineFormat_data();
    void messageLineFormat();
    void sizeLimitAtSessionStart_data();
    void sizeLimitAtSessionStart();
    void sessionStartFailsWhenLogCannotBeOpened();
    void repeatsAreCounted_data();
    void repeatsAreCounted();
    void onlyAFloodIsFolded();
    void linesOfConcurrentThreadsStayWhole();
    void onlyThePlayersOwnMessagesBecomeBoxes_data();
    void onlyThePlayersOwnMessagesBecomeBoxes();
    void logGoesOnWhileACriticalBoxIsOpen();

private:
    std::unique_ptr<TemporaryProfile> m_profile;
    QList<ShownBox> m_boxes;
    std::function<void()> m_whileBoxIsOpen;
};

void TestLogging::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_boxes.clear();
    m_whileBoxIsOpen = nullptr;
    MessageBoxes::setPresenter(
        [this](MessageBoxes::Kind kind, const QString& title, const QString& text) {
            m_boxes << ShownBox{kind, title, text, QThread::currentThread() == qApp->thread()};
            if (m_whileBoxIsOpen)
                m_whileBoxIsOpen();
            return false;
        });
    Logging::installMessageHandler();
}

void TestLogging::cleanup()
{
    qInstallMessageHandler(nullptr);
    MessageBoxes::setPresenter({});
    m_profile.reset();
}
void TestLogging::messageLineFormat_data()
{
    addJsonRows(ZENTRIA_CORE_DATA "/log-lines.json");
}

// A message as written, at a time of day.
void TestLogging::messageLineFormat()
{
    QFETCH(QJsonObject, row);
    const QTime time = QTime::fromString(row["time"].toString(), "hh:mm:ss.zzz");
    QCOMPARE(Logging::messageLine(time, row["message"].toString()),
             row["line"].toString().toUtf8());
}

void TestLogging::sizeLimitAtSessionStart_data()
{
    addJsonRows(ZENTRIA_CORE_DATA "/log-sizes.json");
}

// The old log is kept below a million bytes; the header follows it and names
// the moment the session started.
void TestLogging::sizeLimitAtSessionStart()
{
    QFETCH(QJsonObject, row);
    const qint64 existingSize = row["existingSize"].toInteger(-1);  // -1: no file
    const bool kept = row["kept"].toBool();
    const QString path = Logging::logFilePath();
    QCOMPARE(path, m_profile->dataDirectory() + "/debug.log");
    QFile existing(path);
    if (existingSize >= 0)
        QVERIFY(existing.open(QIODevice::WriteOnly) &&
                existing.write(QByteArray(existingSize, 'x')) == existingSize);
    existing.close();

    const QDateTime before = QDateTime::currentDateTime();
    QVERIFY(Logging::startSession());
    const QDateTime after = QDateTime::currentDateTime();
    const QByteArray content = readFile(path);
    const QByteArray old = kept ? QByteArray(existingSize, 'x') : QByteArray();
    QVERIFY(content.startsWith(old));
    const QByteArray header = content.mid(old.size());
    const QDateTime startedAt = QDateTime::fromString(
        QString::fromLatin1(header).section("Session started at ", 1).section(".\r\n", 0, 0),
        "dd.MM.yyyy hh:mm:ss.zzz");
    QVERIFY2(before <= startedAt && startedAt <= after, header.constData());
    QCOMPARE(header, "\r\n" + QByteArray(78, '=') + "\r\nSession started at " +
                         startedAt.toString("dd.MM.yyyy hh:mm:ss.zzz").toLatin1() + ".\r\n");
}

void TestLogging::sessionStartFailsWhenLogCannotBeOpened()
{
    QVERIFY(QDir().mkpath(Logging::logFilePath()));
    QVERIFY(!Logging::startSession());
}

void TestLogging::repeatsAreCounted_data()
{
    addJsonRows(ZENTRIA_CORE_DATA "/log-repeats.json");
}

// Read as soon as the last call returns, as users and tests read the running
// player's log: nothing may wait in a buffer. A count is written when a
// different message comes.
void TestLogging::repeatsAreCounted()
{
    QFETCH(QJsonObject, row);
    for (const QJsonValue& message : row["messages"].toArray())
        qDebug("%s", qPrintable(message.toString()));
    qDebug("end");
    QCOMPARE(loggedMessages(), strings(row["lines"]) << "end");
}

// The same action done again a while later is written again, whole.
void TestLogging::onlyAFloodIsFolded()
{
    RepeatFolder folder;
    QStringList lines;
    const QList<std::pair<QString, qint64>> messages = {
        {"a", 0},    {"a", 10},   {"b", 20},   {"b", 2000}, {"c", 2010},
        {"d", 2020}, {"c", 4000}, {"d", 4010}, {"c", 4020}, {"d", 4030}};
    for (const auto& [message, atMs] : messages)
        lines << folder.take(message, atMs);
    lines << folder.release();
    QCOMPARE(lines, (QStringList{"a", "... (repeated 1 times)", "b", "b", "c", "d", "c",
                                 "... (last 2 lines repeated 1 times)", "d"}));
}

// libVLC logs from threads of its own, often the same message at once.
void TestLogging::linesOfConcurrentThreadsStayWhole()
{
    constexpr int threads = 4;
    constexpr int perThread = 2000;
    QSemaphore go;
    std::vector<std::unique_ptr<QThread>> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back(QThread::create([t, &go] {
            go.acquire();
            for (int i = 0; i < perThread; ++i) {
                qDebug("thread %d message %d", t, i);
                qDebug("tick");
            }
        }));
        workers.back()->start();
    }
    go.release(threads);
    for (const auto& worker : workers)
        QVERIFY(worker->wait(60000));
    qDebug("end");

    const QStringList messages = loggedMessages();
    static const QRegularExpression repeated(R"(^\.\.\. \(repeated (\d+) times\)$)");
    int ticks = 0;
    QSet<QString> distinct;
    QString previous;
    for (const QString& message : messages) {
        const QRegularExpressionMatch match = repeated.match(message);
        if (match.hasMatch()) {
            QCOMPARE(previous, QStringLiteral("tick"));  // nothing else follows itself
            ticks += match.captured(1).toInt();
            continue;
        }
        if (message == "tick")
            ++ticks;
        else
            QVERIFY2(!distinct.contains(message), qPrintable(message));
        distinct << message;
        previous = message;
    }
    QCOMPARE(ticks, threads * perThread);
    QCOMPARE(distinct.size(), threads * perThread + 2);  // with "tick"
}

// A message's origin as Qt reports it: the player's code names its source
// file ("own"), Qt's libraries name none ("qt"), a web page's console names
// the page.
void TestLogging::onlyThePlayersOwnMessagesBecomeBoxes_data()
{
    addJsonRows(ZENTRIA_CORE_DATA "/log-boxes.json");
}

void TestLogging::onlyThePlayersOwnMessagesBecomeBoxes()
{
    QFETCH(QJsonObject, row);
    const QByteArray origin = row["file"].toString().toUtf8();
    const QByteArray file = origin == "own" ? QByteArray(__FILE__) : origin;
    const QByteArray category = row["category"].toString().toUtf8();
    const QString type = row["type"].toString();
    const QString box = row["box"].toString();

    const auto log = [&] {
        const QMessageLogger logger(origin == "qt" ? nullptr : file.constData(), 7, nullptr,
                                    category.constData());
        if (type == "warning")
            logger.warning("Disk %s is full", "D:");
        else if (type == "critical")
            logger.critical("Disk %s is full", "D:");
        else
            logger.debug("Disk %s is full", "D:");
    };
    if (row["worker"].toBool()) {
        std::unique_ptr<QThread> worker(QThread::create(log));
        worker->start();
        QVERIFY(worker->wait(10000));
    } else {
        log();
    }

    // A warning box is all the user gets of it; the rest reaches the file.
    QCOMPARE(loggedMessages(),
             box.startsWith("warning") ? QStringList() : QStringList{"Disk D: is full"});
    QVERIFY(m_boxes.isEmpty());  // never inside the message handler
    if (box.startsWith("critical"))
        QCOMPARE(runEventLoop(), 1);
    else
        QCoreApplication::processEvents();

    QStringList shown;
    for (const ShownBox& each : std::as_const(m_boxes)) {
        QVERIFY(each.onGuiThread);
        shown << MessageBoxes::kindName(each.kind) + '\t' + each.title + '\t' + each.text;
    }
    QCOMPARE(shown.join('\n'), box);
}

// A box runs an event loop of its own; all that is logged meanwhile still
// reaches the file, and a second critical message adds no second box.
void TestLogging::logGoesOnWhileACriticalBoxIsOpen()
{
    m_whileBoxIsOpen = [] {
        qDebug("written while the box is open");
        qCritical("second critical");
    };
    qCritical("first critical");
    QCOMPARE(runEventLoop(), 1);
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().text, QStringLiteral("first critical"));
    QCOMPARE(loggedMessages(),
             (QStringList{"first critical", "written while the box is open", "second critical"}));
}

QTEST_MAIN(TestLogging)
#include "tst_logging.moc"
