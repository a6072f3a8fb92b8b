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
#include "tablerows.h"
#include "temporaryprofile.h"

#include <google/protobuf/text_format.h>

#include <QWidget>

namespace {

QString cell(const char* column)
{
    return *static_cast<QString*>(QTest::qData(column, QMetaType::QString));
}

}  // namespace

// The record controller over the real record table and channels built from a
// server answer, on a window the test plays: its player always plays, and a
// recording is the name of its file. The clock stands still until the test
// moves it.
class TestRecordController : public QObject, public RecordControllerHost
{
    Q_OBJECT
public:
    ChannelManager* channelManager() const override { return &m_channels; }
    bool inIptvMode() const override { return m_iptv; }
    void switchToIptvMode() override { m_iptv = true; }
    QWidget* questionParent() const override { return m_shown ? &m_window : nullptr; }
    bool playerPlaying() const override { return true; }
    bool playerRecording() const override { return !m_file.isEmpty(); }
    void startPlayer() override {}
    bool startRecording(const QString& path) override { return !(m_file = path).isEmpty(); }
    void stopRecording() override
    {
        if (!m_file.isEmpty())
            m_controller->clearCurrentTelecast();  // the player's recordStopped()
        m_file.clear();
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void checkActsOnTheSchedule_data() { rows("controller-situations.txt"); }
    void checkActsOnTheSchedule();
    void recordingEndsAfterTheTelecastOrOnRequest_data() { rows("controller-ending.txt"); }
    void recordingEndsAfterTheTelecastOrOnRequest();
    void unusableFolderWarnsAndUnschedules();
    void fileNames_data() { rows("recording-names.txt"); }
    void fileNames();

private:
    static void rows(const QString& file) { addTableRows(QFINDTESTDATA("../data/record/" + file)); }
    Telecast* telecast(const QString& title) const
    {
        for (Telecast* telecast : m_channels.channelByName("Sport")->telecasts())
            if (telecast->title() == title)
                return telecast;
        return nullptr;
    }
    // What the check timer does every ten seconds.
    void tick()
    {
        QVERIFY(QMetaObject::invokeMethod(m_controller, "checkOn"));
        QVERIFY(QMetaObject::invokeMethod(m_controller, "checkOff"));
    }
    void startRecordingMatch()
    {
        telecast("Match")->setRecordScheduled(true);
        m_now = telecast("Match")->start() - 70;
        tick();
        QVERIFY(m_file.endsWith(" - Sport - Match.mpg"));
    }

    TemporaryProfile m_profile;
    mutable ChannelManager m_channels;  // handed out by the const queries
    mutable QWidget m_window;
    RecordController* m_controller = nullptr;
    bool m_iptv = true;
    bool m_shown = true;
    QString m_file;
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
}

void TestRecordController::init()
{
    Settings::instance()->setScheduledRecordSaveFolder(m_profile.home() + "/Scheduled/TV");
    m_now = telecast("Match")->start() - 3600;
    m_controller = new RecordController(*this, &m_window);
    m_channels.setCurrentChannel(m_channels.channelByName("Sport"));
}

void TestRecordController::cleanup()
{
    delete m_controller;
    m_file.clear();
    m_boxes.clear();
    for (Telecast* scheduled : {telecast("Match"), telecast("Studio")})
        scheduled->setRecordScheduled(false);
}

void TestRecordController::checkActsOnTheSchedule()
{
    Telecast* target = telecast(cell("telecast"));
    target->setRecordScheduled(true);
    if (cell("recording") == "Match")
        startRecordingMatch();
    const QStringList watching = cell("watching").split(' ');
    m_channels.setCurrentChannel(m_channels.channelByName(watching[0]));
    m_iptv = watching[1] == "iptv";
    m_shown = cell("window") == "shown";
    if (cell("recording") == "by hand")
        m_controller->record("by hand.mpg");

    m_now = target->start() - cell("startsIn").toInt();
    m_answer = cell("answer") == "yes";
    m_boxes.clear();
    tick();
    const QString beforePlaying = m_file;
    tick();  // the channel switched to does not play yet
    QCOMPARE(m_file, beforePlaying);
    m_controller->recordOnPlay();  // now it does

    const QString question = cell("question");
    QCOMPARE(m_boxes.size(), question == "-" ? 0 : 1);
    if (question != "-")
        QCOMPARE(
            m_boxes.first(),
            QString("Question - Zentria Media Player|Telecast recording (<b>%1</b> on "
                    "<b>Sport</b>) is scheduled at %2.<br/>%3<br/>To cancel scheduled "
                    "telecast recording press <b>Reject</b> button.")
                .arg(target->title(), RecordTableFile::formatStart(target->start()), question));
    QCOMPARE(m_channels.currentChannel()->name() + (m_iptv ? " iptv" : " portal"),
             cell("watchingAfter"));
    const QString file = cell("file");
    QVERIFY2(file == "none" ? m_file.isEmpty() : m_file.endsWith(file), qPrintable(m_file));
    if (file.startsWith("- "))
        QCOMPARE(QFileInfo(m_file).absolutePath(), m_profile.home() + "/Scheduled/TV");
    QCOMPARE(target->isRecordScheduled(), cell("scheduled") == "yes");
    const Telecast* recorded = m_controller->currentTelecast();
    QCOMPARE(recorded ? recorded->title() : QString("-"), cell("current"));
}

void TestRecordController::recordingEndsAfterTheTelecastOrOnRequest()
{
    startRecordingMatch();
    m_now = telecast("Match")->stop() + cell("afterEnd").toInt();
    if (cell("stop") == "-") {
        tick();
    } else if (cell("stop") == "fails") {  // the player stops, then reports why
        stopRecording();
        m_controller->recordingFailed();
    } else {
        m_answer = cell("stop") == "yes";
        m_controller->stop();
        QCOMPARE(m_boxes, QStringList("Question - Zentria Media Player|Do you really wish to "
                                      "cancel recording? Program will be removed from the "
                                      "recording schedule."));
    }
    QCOMPARE(playerRecording(), cell("recording") == "yes");
    QCOMPARE(telecast("Match")->isRecordScheduled(), cell("scheduled") == "yes");
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
    QVERIFY(!playerRecording());
    QVERIFY(!telecast("Match")->isRecordScheduled());
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
