#include "mediaplayer.h"
#include "playertestsupport.h"
#include "statisticsformat.h"
#include "statisticswindow.h"
#include "tablerows.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestStatisticsWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_environment = std::make_unique<PlayerTestEnvironment>(); }
    void init()
    {
        m_player = std::make_unique<MediaPlayer>(PlayerTestEnvironment::options());
        m_window = std::make_unique<StatisticsWindow>();
    }
    void cleanup()
    {
        m_window.reset();
        m_player.reset();
    }

    void format_data() { addTableRows(QFINDTESTDATA("../data/osd/statistics-format.txt")); }
    void format();
    void valuesWhileNothingPlays_data()
    {
        addTableRows(QFINDTESTDATA("../data/osd/statisticswindow-form.txt"));
    }
    void valuesWhileNothingPlays();
    void refreshesOnlyWhileVisibleWithAPlayer();
    void showsTheCountersOfAPlayingStream();
    void closeButtonAccepts();

private:
    QString text(const char* label) const { return m_window->findChild<QLabel*>(label)->text(); }

    std::unique_ptr<PlayerTestEnvironment> m_environment;
    std::unique_ptr<MediaPlayer> m_player;
    std::unique_ptr<StatisticsWindow> m_window;
};

void TestStatisticsWindow::format()
{
    QFETCH(QString, kind);
    QFETCH(QString, value);
    QFETCH(QString, text);
    QCOMPARE(kind == "bytes" ? StatisticsFormat::byteSize(value.toInt())
                             : StatisticsFormat::bitRate(value.toFloat()),
             text);
}

void TestStatisticsWindow::valuesWhileNothingPlays()
{
    QFETCH(QString, label);
    QFETCH(QString, group);
    QFETCH(QString, caption);
    QFETCH(QString, idle);
    auto* value = m_window->findChild<QLabel*>(label);
    QVERIFY(value);
    const auto* box = qobject_cast<QGroupBox*>(value->parentWidget());
    QCOMPARE(box ? box->title() : QString(), group);
    QCOMPARE(text(qPrintable(label + "Caption")), caption);
    value->setText("stale");
    m_window->updateStatistics();
    QCOMPARE(value->text(), QString("stale"));  // no player yet
    m_window->setMediaPlayer(m_player.get());
    m_window->updateStatistics();
    QCOMPARE(value->text(), idle);
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
    QCOMPARE(m_window->windowTitle(), QString("Statistics"));
    m_window->show();
    QSignalSpy accepted(m_window.get(), &QDialog::accepted);
    auto* close = m_window->findChild<QPushButton*>("buttonClose");
    QCOMPARE(close->text(), QString("Close"));
    QTest::mouseClick(close, Qt::LeftButton);
    QCOMPARE(accepted.size(), 1);
    QVERIFY(!m_window->isVisible());
}

QTEST_MAIN(TestStatisticsWindow)
#include "tst_statisticswindow.moc"
