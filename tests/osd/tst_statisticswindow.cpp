#include "mediaplayer.h"
#include "playertestsupport.h"
#include "statisticsformat.h"
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

    void byteSizeText_data();
    void byteSizeText();
    void bitRateText_data();
    void bitRateText();
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

void TestStatisticsWindow::byteSizeText_data()
{
    QTest::addColumn<qint32>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("1024") << 1024 << "1024.0";
    QTest::newRow("1025") << 1025 << "1.0 k";
    QTest::newRow("1536") << 1536 << "1.0 k";
    QTest::newRow("1048575") << 1048575 << "1023.0 k";
    QTest::newRow("1048576") << 1048576 << "1024.0 k";
    QTest::newRow("1048577") << 1048577 << "1.0 M";
    QTest::newRow("1073741824") << 1073741824 << "1024.0 M";
    QTest::newRow("1073741825") << 1073741825 << "1.0 G";
    QTest::newRow("largest") << std::numeric_limits<qint32>::max() << "1.0 G";
}

void TestStatisticsWindow::byteSizeText()
{
    QFETCH(qint32, bytes);
    QFETCH(QString, text);
    QCOMPARE(StatisticsFormat::byteSize(bytes), text);
}

void TestStatisticsWindow::bitRateText_data()
{
    QTest::addColumn<float>("bytesPerMicrosecond");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << 0.0f << "0.0 kbit/s";
    QTest::newRow("1 kbit/s") << 0.000125f << "1.0 kbit/s";
    QTest::newRow("384 kbit/s") << 0.048f << "384.0 kbit/s";
    QTest::newRow("rounded to one decimal") << 0.0123456f << "98.8 kbit/s";
    QTest::newRow("8 Mbit/s") << 1.0f << "8000.0 kbit/s";
}

void TestStatisticsWindow::bitRateText()
{
    QFETCH(float, bytesPerMicrosecond);
    QFETCH(QString, text);
    QCOMPARE(StatisticsFormat::bitRate(bytesPerMicrosecond), text);
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
