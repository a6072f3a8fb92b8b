#include "channel.h"
#include "channel.pb.h"
#include "channellistbuilder.h"
#include "channelmanager.h"
#include "messageboxes.h"
#include "recordcontroller.h"
#include "recordcontrollerhost.h"
#include "recordingnames.h"
#include "recordtablefile.h"
#include "recordtablemanager.h"
#include "serverclock.h"
#include "settings.h"
#include "tablerows.h"
#include "telecast.h"
#include "temporaryprofile.h"

#include <google/protobuf/text_format.h>

#include <QWidget>

namespace {

// The window as the controller sees it: the player always plays; a recording
// is the name of its file.
struct FakeHost final : RecordControllerHost
{
    ChannelManager* channels = nullptr;
    QWidget* window = nullptr;
    RecordController* controller = nullptr;
    bool iptv = true;
    bool shown = true;
    QString file;

    ChannelManager* channelManager() const override { return channels; }
    bool inIptvMode() const override { return iptv; }
    void switchToIptvMode() override { iptv = true; }
    QWidget* questionParent() const override { return shown ? window : nullptr; }
    bool playerPlaying() const override { return true; }
    bool playerRecording() const override { return !file.isEmpty(); }
    void startPlayer() override {}
    bool startRecording(const QString& path) override { return !(file = path).isEmpty(); }
    void stopRecording() override
    {
        if (!file.isEmpty())
            controller->clearCurrentTelecast();  // the player's recordStopped()
        file.clear();
    }
};

const QHash<QString, QString> questions = {
    {"switch", "Do you wish to switch the channel and start scheduled recording?"},
    {"turn off",
     "Do you wish to turn current recording off, switch the channel, and start scheduled "
     "recording?"}};

QString cell(const char* column)
{
    return *static_cast<QString*>(QTest::qData(column, QMetaType::QString));
}

}  // namespace

// The record controller on a window the test plays, over the real record
// table and channels built from a server answer; the clock stands still
// until the test moves it.
class TestRecordController : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checkActsOnTheSchedule_data() { rows("controller-situations.txt"); }
    void checkActsOnTheSchedule();
    void recordingEndsAfterTheTelecastOrOnRequest_data() { rows("controller-ending.txt"); }
    void recordingEndsAfterTheTelecastOrOnRequest();
    void unusableFolderWarnsAndUnschedules();
    void failedRecordingLeavesTheRestOfTheSchedule();
    void fileNames_data() { rows("recording-names.txt"); }
    void fileNames();

private:
    static void rows(const QString& file) { addTableRows(QFINDTESTDATA("../data/record/" + file)); }
    Telecast* telecast(const QString& title) const;
    void tick();
    void startRecordingMatch();

    TemporaryProfile m_profile;
    ChannelManager m_channels;
    QWidget m_window;
    FakeHost m_host;
    qint64 m_now = 0;
    bool m_answer = false;
    QStringList m_boxes;  // "title|text"
};

void TestRecordController::initTestCase()
{
    ServerClock::setLocalClock([this] { return m_now * 1000; });
    MessageBoxes::setPresenter(
        [this](MessageBoxes::Kind, const QString& title, const QString& text) {
            m_boxes << title + '|' + text;
            return m_answer;
        });
    QFile file(QFINDTESTDATA("../data/record/controller-channels.txt"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    proto::ChannelListResponse list;
    google::protobuf::TextFormat::Parser parser;
    parser.AllowPartialMessage(true);
    QVERIFY(parser.ParseFromString(file.readAll().toStdString(), &list));
    m_channels.loadFrom({&list});
    Telecast::setRecordSchedule(RecordTableManager::instance());
    RecordTableManager::instance()->setChannelManager(&m_channels);
    m_host.channels = &m_channels;
    m_host.window = &m_window;
}

void TestRecordController::init()
{
    Settings::instance()->setScheduledRecordSaveFolder(m_profile.home() + "/Scheduled/TV");
    m_now = telecast("Match")->start() - 3600;
    m_host.controller = new RecordController(m_host, &m_window);
    m_channels.setCurrentChannel(m_channels.channelByName("Sport"));
}

void TestRecordController::cleanup()
{
    delete m_host.controller;
    m_host.file.clear();
    m_boxes.clear();
    for (Telecast* scheduled : {telecast("Match"), telecast("Studio")})
        scheduled->setRecordScheduled(false);
}

Telecast* TestRecordController::telecast(const QString& title) const
{
    for (Telecast* telecast : m_channels.channelByName("Sport")->telecasts())
        if (telecast->title() == title)
            return telecast;
    return nullptr;
}

// What the check timer does every ten seconds.
void TestRecordController::tick()
{
    QVERIFY(QMetaObject::invokeMethod(m_host.controller, "checkOn"));
    QVERIFY(QMetaObject::invokeMethod(m_host.controller, "checkOff"));
}

void TestRecordController::startRecordingMatch()
{
    telecast("Match")->setRecordScheduled(true);
    m_now = telecast("Match")->start() - 70;
    tick();
    QVERIFY(m_host.file.endsWith(" - Sport - Match.mpg"));
}

void TestRecordController::checkActsOnTheSchedule()
{
    Telecast* target = telecast(cell("telecast"));
    target->setRecordScheduled(true);
    if (cell("recording") == "Match")
        startRecordingMatch();
    const QStringList watching = cell("watching").split(' ');
    m_channels.setCurrentChannel(m_channels.channelByName(watching[0]));
    m_host.iptv = watching[1] == "iptv";
    m_host.shown = cell("window") == "shown";
    if (cell("recording") == "by hand")
        m_host.controller->record("by hand.mpg");

    m_now = target->start() - cell("startsIn").toInt();
    m_answer = cell("answer") == "yes";
    m_boxes.clear();
    tick();
    m_host.controller->recordOnPlay();  // the channel switched to plays

    const QString question = cell("question");
    QCOMPARE(m_boxes.size(), question == "-" ? 0 : 1);
    if (question != "-")
        QCOMPARE(m_boxes.first(),
                 QString("Question - Zentria Media Player|Telecast recording (<b>%1</b> on "
                         "<b>Sport</b>) is scheduled at %2.<br/>%3<br/>To cancel scheduled "
                         "telecast recording press <b>Reject</b> button.")
                     .arg(target->title(), RecordTableFile::formatStart(target->start()),
                          questions[question]));
    QCOMPARE(m_channels.currentChannel()->name() + (m_host.iptv ? " iptv" : " portal"),
             cell("watchingAfter"));
    const QString file = cell("file");
    QVERIFY2(file == "none" ? m_host.file.isEmpty() : m_host.file.endsWith(file),
             qPrintable(m_host.file));
    if (file.startsWith("- "))
        QCOMPARE(QFileInfo(m_host.file).absolutePath(), m_profile.home() + "/Scheduled/TV");
    QCOMPARE(target->isRecordScheduled(), cell("scheduled") == "yes");
    QCOMPARE(RecordTableManager::instance()->contains(target), cell("scheduled") == "yes");
    const Telecast* recorded = m_host.controller->currentTelecast();
    QCOMPARE(recorded ? recorded->title() : QString("-"), cell("current"));
}

void TestRecordController::recordingEndsAfterTheTelecastOrOnRequest()
{
    startRecordingMatch();
    m_now = telecast("Match")->stop() + cell("afterEnd").toInt();
    if (cell("stop") == "-") {
        tick();
    } else {
        m_answer = cell("stop") == "yes";
        m_host.controller->stop();
        QCOMPARE(m_boxes, QStringList("Question - Zentria Media Player|Do you really wish to "
                                      "cancel recording? Program will be removed from the "
                                      "recording schedule."));
    }
    QCOMPARE(m_host.playerRecording(), cell("recording") == "yes");
    QCOMPARE(telecast("Match")->isRecordScheduled(), cell("scheduled") == "yes");
    QCOMPARE(RecordTableManager::instance()->contains(telecast("Match")),
             cell("scheduled") == "yes");
}

// A folder under a regular file cannot be made.
void TestRecordController::unusableFolderWarnsAndUnschedules()
{
    const QString blocker = m_profile.home() + "/a file";
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    Settings::instance()->setScheduledRecordSaveFolder(blocker + "/TV");
    telecast("Match")->setRecordScheduled(true);
    m_now = telecast("Match")->start() - 70;
    tick();
    QCOMPARE(m_boxes, QStringList("Warning - Zentria Media Player|Cannot access folder -- " +
                                  blocker + "/TV!\nScheduled recording will be cancelled."));
    QVERIFY(!m_host.playerRecording());
    QVERIFY(!telecast("Match")->isRecordScheduled());
}

// The player stops a recording whose disk is full and then reports it.
void TestRecordController::failedRecordingLeavesTheRestOfTheSchedule()
{
    telecast("Studio")->setRecordScheduled(true);
    startRecordingMatch();
    m_now += 600;
    m_host.stopRecording();
    m_host.controller->recordingFailed();
    QVERIFY(!telecast("Match")->isRecordScheduled());
    QVERIFY(telecast("Studio")->isRecordScheduled());
    m_now = telecast("Studio")->start() - 70;
    tick();
    QVERIFY2(m_host.file.endsWith(" - Sport - Studio.mpg"), qPrintable(m_host.file));
}

void TestRecordController::fileNames()
{
    const QDateTime at = QDateTime::fromString(cell("when"), "yyyy-MM-dd hh:mm");
    const QString title = cell("title");
    QCOMPARE(cell("kind") == "scheduled"
                 ? RecordingNames::scheduled(at, cell("channel"), title)
                 : RecordingNames::instant(at, cell("channel"), title == "-" ? QString() : title),
             cell("name"));
}

QTEST_MAIN(TestRecordController)
#include "tst_recordcontroller.moc"
