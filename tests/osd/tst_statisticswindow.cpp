#include "mediaplayer.h"
#include "playertestsupport.h"
#include "statisticswindow.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QStringList counters = {
    "inputPacketsRead",   "demuxPacketsRead",     "demuxCorrupted",  "demuxDiscontinuities",
    "videoBlocksDecoded", "videoFramesDisplayed", "videoFramesLost", "audioBlocksDecoded",
    "audioBuffersPlayed", "audioBuffersLost",
};

}  // namespace

class TestStatisticsWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void formHasItsGroupsAndCaptions();
    void refreshesOnlyWhileVisibleWithAPlayer();
    void nothingPlayingShowsZeros();
    void showsTheCountersOfAPlayingStream();
    void closeButtonAccepts();

private:
    QString text(const char* label) const;

    std::unique_ptr<PlayerTestEnvironment> m_environment;
    std::unique_ptr<MediaPlayer> m_player;
    std::unique_ptr<StatisticsWindow> m_window;
};

void TestStatisticsWindow::initTestCase()
{
    m_environment = std::make_unique<PlayerTestEnvironment>();
}

void TestStatisticsWindow::init()
{
    m_player = std::make_unique<MediaPlayer>(PlayerTestEnvironment::options());
    m_window = std::make_unique<StatisticsWindow>();
}

void TestStatisticsWindow::cleanup()
{
    m_window.reset();
    m_player.reset();
}

QString TestStatisticsWindow::text(const char* label) const
{
    const auto* value = m_window->findChild<QLabel*>(label);
    return value ? value->text() : QString("<no %1>").arg(label);
}

void TestStatisticsWindow::formHasItsGroupsAndCaptions()
{
    QCOMPARE(m_window->objectName(), QString("StatisticsWindow"));
    QCOMPARE(m_window->windowTitle(), QString("Statistics"));
    const QStringList groups = {"groupInput", "groupDemux", "groupVideo", "groupAudio"};
    const QStringList titles = {"Input stream", "Demux", "Video", "Audio"};
    for (int i = 0; i < groups.size(); ++i) {
        const auto* group = m_window->findChild<QGroupBox*>(groups[i]);
        QVERIFY2(group, qPrintable(groups[i]));
        QCOMPARE(group->title(), titles[i]);
    }
    const auto* demux = m_window->findChild<QGroupBox*>("groupDemux");
    QStringList captions;
    for (const QLabel* label : demux->findChildren<QLabel*>()) {
        if (label->objectName().endsWith("Caption"))
            captions << label->text();
    }
    QCOMPARE(captions, QStringList({"Packets read:", "Bytes read:", "Current bitrate:",
                                    "Corrupted:", "Discontinuities:"}));
    QCOMPARE(m_window->findChild<QPushButton*>("buttonClose")->text(), QString("Close"));
}

void TestStatisticsWindow::refreshesOnlyWhileVisibleWithAPlayer()
{
    m_window->show();
    QVERIFY(!m_window->isRefreshing());
    m_window->setMediaPlayer(m_player.get());
    QVERIFY(m_window->isRefreshing());
    m_window->hide();
    QVERIFY(!m_window->isRefreshing());
    m_window->show();
    QVERIFY(m_window->isRefreshing());
    m_window->setMediaPlayer(nullptr);
    QVERIFY(!m_window->isRefreshing());
}

void TestStatisticsWindow::nothingPlayingShowsZeros()
{
    m_window->findChild<QLabel*>("inputBytesRead")->setText("stale");
    m_window->findChild<QLabel*>("videoFramesLost")->setText("stale");
    m_window->setMediaPlayer(m_player.get());
    m_window->show();
    QTRY_COMPARE_WITH_TIMEOUT(text("inputBytesRead"), QString("0.0"),
                              2 * StatisticsWindow::refreshInterval);
    for (const QString& counter : counters)
        QCOMPARE(text(qPrintable(counter)), QString("0"));
    QCOMPARE(text("demuxBytesRead"), QString("0.0"));
    QCOMPARE(text("inputCurrentBitrate"), QString("0.0 kbit/s"));
    QCOMPARE(text("demuxCurrentBitrate"), QString("0.0 kbit/s"));
}

void TestStatisticsWindow::showsTheCountersOfAPlayingStream()
{
    PlayerSignals signalsSeen(m_player.get());
    m_player->openFile(PlayerSample::path());
    QVERIFY(signalsSeen.waitFor("playing"));
    m_window->setMediaPlayer(m_player.get());
    m_window->show();
    QTRY_VERIFY_WITH_TIMEOUT(text("videoBlocksDecoded").toInt() > 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(text("audioBuffersPlayed").toInt() > 0, 5000);
    QVERIFY(text("inputBytesRead").endsWith(" k"));
    QVERIFY(text("inputCurrentBitrate").endsWith(" kbit/s"));
    m_window->hide();
    const QString frozen = text("videoBlocksDecoded");
    QVERIFY(!QTest::qWaitFor([&] { return text("videoBlocksDecoded") != frozen; },
                             3 * StatisticsWindow::refreshInterval));
}

void TestStatisticsWindow::closeButtonAccepts()
{
    m_window->show();
    QSignalSpy accepted(m_window.get(), &QDialog::accepted);
    QTest::mouseClick(m_window->findChild<QPushButton*>("buttonClose"), Qt::LeftButton);
    QCOMPARE(accepted.size(), 1);
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestStatisticsWindow)
#include "tst_statisticswindow.moc"
