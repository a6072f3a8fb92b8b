// The record table over tests/data/record/guide.txtpb, at noon on the day of
// its telecasts. Overlap questions are answered through the box presenter;
// the keep-awake switch is one that remembers what it was told.

#include "../channels/fixedclock.h"
#include "channel.h"
#include "channellistbuilder.h"
#include "channelmanager.h"
#include "jsonrows.h"
#include "keepawake.h"
#include "logcapture.h"
#include "messageboxes.h"
#include "recordtablefile.h"
#include "recordtablemanager.h"
#include "tablerows.h"
#include "telecast.h"
#include "temporaryprofile.h"

#include "channel.pb.h"

#include <google/protobuf/text_format.h>

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

namespace {

const QString kData = QStringLiteral(ZENTRIA_RECORD_DATA "/");
const qint64 kNoon = 1330948800;  // 5 March 2012: Morning has ended, A is pending

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

struct RememberingKeepAwake final : KeepAwake
{
    explicit RememberingKeepAwake(QList<bool>* calls) : calls(calls) {}
    void setOn(bool on) override { calls->append(on); }
    QList<bool>* calls;
};

}  // namespace

class TestRecordTable : public QObject
{
    Q_OBJECT

    RecordTableManager* const m_table = RecordTableManager::instance();
    std::unique_ptr<TemporaryProfile> m_profile;
    std::unique_ptr<FixedClock> m_clock;
    proto::ChannelListResponse m_guide;
    std::unique_ptr<ChannelManager> m_channels;
    QList<bool> m_awake;
    bool m_answer = true;
    QStringList m_questions;  // title and text

    Telecast* telecast(const QString& title) const
    {
        const QList<Telecast*>& news = m_channels->channelByName("News")->telecasts();
        return *std::find_if(news.begin(), news.end(),
                             [&](auto* t) { return t->title() == title; });
    }
    QStringList titles() const
    {
        QStringList titles;
        for (int i = 0; i < m_table->count(); ++i)
            titles << m_table->at(i)->title();
        return titles;
    }
    QByteArray tableFile() const { return readFile(m_table->filePath()); }

private slots:
    void init()
    {
        m_profile = std::make_unique<TemporaryProfile>();
        m_clock = std::make_unique<FixedClock>(kNoon);
        google::protobuf::TextFormat::Parser parser;
        parser.AllowPartialMessage(true);
        QVERIFY(parser.ParseFromString(readFile(kData + "guide.txtpb").toStdString(), &m_guide));
        m_channels = std::make_unique<ChannelManager>();
        m_channels->loadFrom({&m_guide});
        m_awake.clear();
        m_questions.clear();
        m_table->setKeepAwake(std::make_unique<RememberingKeepAwake>(&m_awake));
        MessageBoxes::setPresenter([this](MessageBoxes::Kind, const QString& t, const QString& s) {
            m_questions << t + '\n' + s;
            return m_answer;
        });
        m_table->setChannelManager(m_channels.get());
    }

    void cleanup()
    {
        m_channels.reset();
        QCOMPARE(m_table->count(), 0);  // the table lets go of deleted telecasts
        MessageBoxes::setPresenter({});
        m_clock.reset();
        Settings::destroy();
        m_profile.reset();
    }

    void overlapRule_data() { addJsonRows(kData + "overlaps.json", {}, "c", "case"); }
    void overlapRule()
    {
        QFETCH(QJsonObject, c);
        for (const QString& title : strings(c["scheduled"]))
            telecast(title)->setRecordScheduled(true);
        m_answer = c["answer"].toBool();
        const QByteArray fileBefore = tableFile();
        QSignalSpy changed(m_table, &RecordTableManager::changed);

        QCOMPARE(m_table->add(telecast(c["add"].toString()), c["silent"].toBool()),
                 c["added"].toBool());
        QCOMPARE(titles(), strings(c["table"]));
        for (Telecast* telecast : m_channels->channelByName("News")->telecasts())
            QCOMPARE(telecast->isRecordScheduled(), m_table->contains(telecast));
        const QString question =
            "Question - Zentria Media Player\n" + c.value("question").toString();
        QCOMPARE(m_questions, c.contains("question") ? QStringList(question) : QStringList());
        QCOMPARE(changed.isEmpty(), !c["added"].toBool());
        QCOMPARE(tableFile() == fileBefore, !c["added"].toBool());
    }

    void startTimeText_data() { addTableRows(kData + "start-times.txt"); }
    void startTimeText()
    {
        QFETCH(QString, seconds);
        QFETCH(QString, text);
        QCOMPARE(RecordTableFile::formatStart(seconds.toLongLong()), text);
        QCOMPARE(RecordTableFile::parseStart(text).value_or(1) / 60,
                 qint64(std::floor(seconds.toDouble() / 60)));
    }

    // Lines it cannot resolve are reported with their numbers, blank lines
    // counted, and stay in the file until the table changes.
    void loadingReportsWhatItCannotResolve()
    {
        const QByteArray file = readFile(kData + "record-table.txt");
        QVERIFY(QFile::copy(kData + "record-table.txt", m_table->filePath()));
        LogCapture log;
        QSignalSpy changed(m_table, &RecordTableManager::changed);
        m_channels->load();
        m_channels->loadFrom({&m_guide});

        QCOMPARE(changed.size(), 1);
        QCOMPARE(titles(), QStringList({"A", "B"}));
        QCOMPARE(log.lines().filter("[RecordTableManager::"),
                 QString(readFile(kData + "record-table.log")).split('\n', Qt::SkipEmptyParts));
        QCOMPARE(tableFile(), file);
        telecast("A")->setRecordScheduled(false);
        QCOMPARE(tableFile(), QByteArray("News\tB\t05.03.2012 21:00\n"));
    }

    // The file holds what has not ended; a reload empties the table and fills
    // it again from the file, which it leaves as it was.
    void reloadingRefillsTheTableFromItsFile()
    {
        for (const char* title : {"B", "A", "Morning"})
            telecast(title)->setRecordScheduled(true);
        QCOMPARE(titles(), QStringList({"Morning", "A", "B"}));
        QCOMPARE(m_table->nextPending(), telecast("A"));
        const QByteArray written = tableFile();
        QCOMPARE(written, QByteArray("News\tA\t05.03.2012 20:00\nNews\tB\t05.03.2012 21:00\n"));

        m_channels->load();
        QCOMPARE(m_table->count(), 0);
        m_channels->loadFrom({&m_guide});
        QCOMPARE(titles(), QStringList({"A", "B"}));
        QVERIFY(telecast("A")->isRecordScheduled() && telecast("B")->isRecordScheduled());
        m_table->save();
        QCOMPARE(tableFile(), written);
        QCOMPARE(QDir(m_profile->dataDirectory()).entryList({"record-table*"}, QDir::Files),
                 QStringList("record-table.txt"));

        m_clock->advance(9 * 3600);  // 21:00, the end of A
        QCOMPARE(m_table->nextPending(), telecast("B"));
        m_table->save();
        QCOMPARE(tableFile(), QByteArray("News\tB\t05.03.2012 21:00\n"));
        m_table->remove(telecast("A"));
        m_table->remove(telecast("B"));
        QCOMPARE(m_awake, QList<bool>({true, false, true, false}));
    }

    void keepingAwakeWithoutABusIsOneLogLine()
    {
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/system_bus_socket");
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        LogCapture log;
        const std::unique_ptr<KeepAwake> keepAwake = KeepAwake::create("test", "test");
        keepAwake->setOn(true);
        keepAwake->setOn(false);
        QCOMPARE(log.count("[KeepAwake::setOn] cannot keep the system awake"), 1);
    }

    // Return takes the default, Escape the other side, and the countdown the
    // default when nobody answers. The player outlives the box.
    void boxesAnsweredByKeysOrByTheCountdown_data() { addTableRows(kData + "boxes.txt"); }
    void boxesAnsweredByKeysOrByTheCountdown()
    {
        QFETCH(QString, box);
        QFETCH(QString, keys);
        QFETCH(QString, answer);
        MessageBoxes::setPresenter({});
        QString shown;  // the default button's text, and whether closing quits
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            dialog->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            for (QPushButton* button : dialog->findChildren<QPushButton*>())
                shown += button->isDefault() ? button->text() : QString();
            shown += QApplication::quitOnLastWindowClosed() ? " quits" : "";
            for (const QString& key : keys.split(' ', Qt::SkipEmptyParts))
                QTest::keyClick(QApplication::focusWidget(), QKeySequence(key)[0].key());
        });
        const int result =
            box == "ask" ? MessageBoxes::askWithCountdown(nullptr, "Q", "<b>?</b>", "Reject", 1)
                         : MessageBoxes::choose(nullptr, "Q", "?", {"<b>new</b>", "old"}, 1);
        QCOMPARE(QString::number(result), answer);
        QVERIFY2(shown.endsWith(" (1)"), qPrintable(shown));
        QVERIFY(QApplication::quitOnLastWindowClosed());
    }
};

QTEST_MAIN(TestRecordTable)
#include "tst_recordtable.moc"
