#include "logcapture.h"
#include "margincropcontroller.h"
#include "mediaplayer.h"
#include "playertestsupport.h"

#include <QTest>

#include <memory>

class TestMarginCropController : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void waitsForThePictureThenSetsTheMargins();
    void setsTheMarginsAtOnceWhilePlaying();
    void doesNothingWithoutMargins();
    void resetStopsTrying();

private:
    bool playFile();

    std::unique_ptr<PlayerTestEnvironment> m_environment;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<MediaPlayer> m_player;
    std::unique_ptr<MarginCropController> m_controller;
    PlayerSignals* m_signals = nullptr;
};

void TestMarginCropController::initTestCase()
{
    m_environment = std::make_unique<PlayerTestEnvironment>();
}

void TestMarginCropController::init()
{
    m_log = std::make_unique<LogCapture>();
    m_player = std::make_unique<MediaPlayer>(PlayerTestEnvironment::options());
    m_signals = new PlayerSignals(m_player.get());
    m_controller = std::make_unique<MarginCropController>();
    m_controller->setMediaPlayer(m_player.get());
}

void TestMarginCropController::cleanup()
{
    m_controller.reset();
    m_player.reset();
    m_log.reset();
}

bool TestMarginCropController::playFile()
{
    m_player->openFile(PlayerSample::path());
    return m_signals->waitFor("playing");
}

void TestMarginCropController::waitsForThePictureThenSetsTheMargins()
{
    m_controller->setMargins(16, 8, 16, 8);
    QVERIFY(m_controller->isTrying());
    // Nothing plays: no attempt is made.
    QVERIFY(!m_log->waitFor("MarginCropController", 3 * MarginCropController::retryInterval));
    QVERIFY(playFile());
    QVERIFY(m_log->waitFor("[MarginCropController::tryToSet] Crop set"));
    QVERIFY(!m_controller->isTrying());
    QCOMPARE(m_log->count("[MarginCropController::tryToSet] Crop set"), 1);
}

void TestMarginCropController::setsTheMarginsAtOnceWhilePlaying()
{
    QVERIFY(playFile());
    m_controller->setMargins(4, 4, 4, 4);
    QVERIFY(m_log->waitFor("[MarginCropController::tryToSet] Crop set"));
    QVERIFY(!m_log->contains("Attempt failed"));
    m_player->stop();
    QVERIFY(m_signals->waitFor("stopped"));
    QVERIFY(playFile());
    QVERIFY(QTest::qWaitFor(
        [&] { return m_log->count("[MarginCropController::tryToSet] Crop set") == 2; }));
}

void TestMarginCropController::doesNothingWithoutMargins()
{
    QVERIFY(playFile());
    QVERIFY(!m_log->waitFor("MarginCropController", 3 * MarginCropController::retryInterval));
}

void TestMarginCropController::resetStopsTrying()
{
    m_controller->setMargins(16, 8, 16, 8);
    m_controller->reset();
    QVERIFY(!m_controller->isTrying());
    QVERIFY(playFile());
    QVERIFY(!m_log->waitFor("MarginCropController", 3 * MarginCropController::retryInterval));
}

QTEST_MAIN(TestMarginCropController)
#include "tst_margincropcontroller.moc"
