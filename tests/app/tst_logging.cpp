#include "logging.h"
#include "messageboxes.h"
#include "temporaryprofile.h"

#include <QLoggingCategory>
#include <QThread>

namespace {

struct ShownBox
{
    MessageBoxes::Kind kind;
    QString title;
    QString text;
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFileOfSize(const QString& path, qint64 size)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(QByteArray(size, 'x')), size);
}

Q_LOGGING_CATEGORY(qtInternal, "qt.zentria.test")

}  // namespace

class TestLogging : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void messageLineFormat();
    void lineBreaksAreRemoved();
    void sessionHeaderFormat();
    void sizeLimitAtSessionStart_data();
    void sizeLimitAtSessionStart();
    void sessionStartFailsWhenLogCannotBeOpened();
    void debugMessagesAppendLines();
    void debugMessagesFromOtherThreads();
    void warningShowsBoxAndWritesNothing();
    void qtOwnWarningsGoToTheFile();

private:
    std::unique_ptr<TemporaryProfile> m_profile;
    QList<ShownBox> m_boxes;
};

void TestLogging::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_boxes.clear();
    MessageBoxes::setPresenter(
        [this](MessageBoxes::Kind kind, const QString& title, const QString& text) {
            m_boxes << ShownBox{kind, title, text};
            return false;
        });
}

void TestLogging::cleanup()
{
    qInstallMessageHandler(nullptr);
    MessageBoxes::setPresenter({});
    m_profile.reset();
}

void TestLogging::messageLineFormat()
{
    QCOMPARE(Logging::messageLine(QTime(7, 5, 3, 9), "[main] Local version = 2.2.16"),
             QByteArray("07:05:03.009: [main] Local version = 2.2.16\r\n"));
    QCOMPARE(Logging::messageLine(QTime(23, 59, 59, 999), "Канал"),
             QByteArray("23:59:59.999: ") + QString("Канал").toUtf8() + "\r\n");
}

void TestLogging::lineBreaksAreRemoved()
{
    QCOMPARE(Logging::messageLine(QTime(0, 0), "two\r\nwords\n"),
             QByteArray("00:00:00.000: twowords\r\n"));
    QCOMPARE(Logging::messageLine(QTime(0, 0), "\r\r\n\n"), QByteArray("00:00:00.000: \r\n"));
}

void TestLogging::sessionHeaderFormat()
{
    const QDateTime startedAt(QDate(2026, 3, 1), QTime(9, 8, 7, 65));
    QCOMPARE(Logging::sessionHeader(startedAt),
             "\r\n" + QByteArray(78, '=') + "\r\nSession started at 01.03.2026 09:08:07.065.\r\n");
}

void TestLogging::sizeLimitAtSessionStart_data()
{
    QTest::addColumn<qint64>("existingSize");
    QTest::addColumn<bool>("kept");
    QTest::newRow("no file") << qint64(-1) << false;
    QTest::newRow("empty") << qint64(0) << true;
    QTest::newRow("999999 bytes") << qint64(999999) << true;
    QTest::newRow("1000000 bytes") << qint64(1000000) << false;
}

void TestLogging::sizeLimitAtSessionStart()
{
    QFETCH(qint64, existingSize);
    QFETCH(bool, kept);
    const QString path = Logging::logFilePath();
    QCOMPARE(path, m_profile->dataDirectory() + "/debug.log");
    if (existingSize >= 0)
        writeFileOfSize(path, existingSize);

    QVERIFY(Logging::startSession());
    const QByteArray content = readFile(path);
    QVERIFY(content.contains("Session started at "));
    const qsizetype headerSize = content.size() - (kept ? existingSize : 0);
    QCOMPARE(headerSize, qsizetype(2 + 78 + 2 + 19 + 24 + 2));
    QVERIFY(content.endsWith(".\r\n"));
    if (kept)
        QVERIFY(content.startsWith(QByteArray(existingSize, 'x')));
}

void TestLogging::sessionStartFailsWhenLogCannotBeOpened()
{
    QVERIFY(QDir().mkpath(Logging::logFilePath()));
    QVERIFY(!Logging::startSession());
}

void TestLogging::debugMessagesAppendLines()
{
    Logging::installMessageHandler();
    qDebug("[%s] first", "TestLogging");
    qDebug("second\r\nline\n");
    const QList<QByteArray> lines = readFile(Logging::logFilePath()).split('\n');
    QCOMPARE(lines.size(), 3);
    const QRegularExpression first(R"(^\d\d:\d\d:\d\d\.\d\d\d: \[TestLogging\] first\r$)");
    QVERIFY2(first.match(QString::fromUtf8(lines.at(0))).hasMatch(), lines.at(0));
    QVERIFY(lines.at(1).endsWith(": secondline\r"));
    QVERIFY(m_boxes.isEmpty());
}

void TestLogging::debugMessagesFromOtherThreads()
{
    Logging::installMessageHandler();
    std::unique_ptr<QThread> worker(QThread::create([] {
        for (int i = 0; i < 50; ++i)
            qDebug("worker %d", i);
        qWarning("worker warning");
    }));
    worker->start();
    QVERIFY(worker->wait(10000));
    const QList<QByteArray> lines = readFile(Logging::logFilePath()).trimmed().split('\n');
    QCOMPARE(lines.size(), 51);
    QVERIFY(lines.last().endsWith(": worker warning\r") ||
            lines.last().endsWith(": worker warning"));
    QVERIFY(m_boxes.isEmpty());
}

void TestLogging::warningShowsBoxAndWritesNothing()
{
    Logging::installMessageHandler();
    qWarning("Disk %s is full", "D:");
    QCOMPARE(m_boxes.size(), 1);
    QCOMPARE(m_boxes.first().kind, MessageBoxes::Kind::Warning);
    QCOMPARE(m_boxes.first().title, QStringLiteral("Warning"));
    QCOMPARE(m_boxes.first().text, QStringLiteral("Disk D: is full"));
    QVERIFY(!QFile::exists(Logging::logFilePath()));
}

void TestLogging::qtOwnWarningsGoToTheFile()
{
    Logging::installMessageHandler();
    qCWarning(qtInternal, "platform plugin quirk");
    QVERIFY(m_boxes.isEmpty());
    QVERIFY(readFile(Logging::logFilePath()).contains(": platform plugin quirk\r\n"));
}

QTEST_MAIN(TestLogging)
#include "tst_logging.moc"
