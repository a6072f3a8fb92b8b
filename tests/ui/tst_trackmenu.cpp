#include "tablerows.h"
#include "trackmenus.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QString entries(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* entry : menu->actions())
        texts << entry->text() + (entry->isChecked() ? "*" : "");
    return texts.join(',');
}

QString last(const QSignalSpy& spy)
{
    return spy.isEmpty() ? QStringLiteral("-") : spy.last().at(0).toString();
}

const QStringList twoLanguages{"Disable", "Track 1 - [English]", "Track 2 - [Russian]"};

}  // namespace

// The menus behind the audio-track and subtitle buttons and the polls that
// fill them, without a player: each poll is handed what libVLC would tell.
class TestTrackMenu : public QObject
{
    Q_OBJECT
private slots:
    void pollFillsTheMenu_data() { addTableRows(QFINDTESTDATA("../data/ui/track-polls.txt")); }
    void pollFillsTheMenu();
    void preferenceIsAppliedOnceThenTheUserChooses();
    void pollsRunUntilStopped();
};

void TestTrackMenu::pollFillsTheMenu()
{
    QFETCH(QString, kind);
    QFETCH(QString, tracks);
    QFETCH(QString, current);
    QFETCH(QString, prefer);
    const QStringList list = tracks.isEmpty() ? QStringList() : tracks.split(';');
    TrackMenus menus;
    const bool audio = kind == "audio";
    menus.startPolling(!audio);
    const auto interval = [&] {
        return audio ? menus.audioPollInterval() : menus.subtitlePollInterval();
    };
    const int quick = interval();
    QSignalSpy chosen(&menus, audio ? &TrackMenus::audioTrackChosen : &TrackMenus::subtitleChosen);
    QSignalSpy usable(&menus, audio ? &TrackMenus::audioUsable : &TrackMenus::subtitlesUsable);
    if (prefer == "yes")
        menus.preferLanguageOnce();
    if (audio)
        menus.showAudioTracks(list, current.toInt());
    else
        menus.showSubtitles(list, current.toInt());
    QTEST(entries(audio ? menus.audioMenu() : menus.subtitleMenu()), "menu");
    QTEST(last(chosen), "chosen");
    QTEST(QString(usable.last().at(0).toBool() ? "yes" : "no"), "usable");
    QTEST(QString(interval() == quick ? "quick" : "slow"), "poll");
}

void TestTrackMenu::preferenceIsAppliedOnceThenTheUserChooses()
{
    TrackMenus menus;
    QSignalSpy audio(&menus, &TrackMenus::audioTrackChosen);
    menus.preferLanguageOnce();
    menus.showAudioTracks(twoLanguages, 1);
    menus.audioMenu()->actions().at(0)->trigger();
    QCOMPARE(entries(menus.audioMenu()), QStringLiteral("English*,Russian"));
    QCOMPARE(last(audio), QStringLiteral("1"));
    // The next poll shows the player's track.
    menus.showAudioTracks(twoLanguages, 1);
    QCOMPARE(audio.count(), 2);
    QCOMPARE(entries(menus.audioMenu()), QStringLiteral("English*,Russian"));
}

// Subtitles are polled only when asked; a new stream is polled quickly again.
void TestTrackMenu::pollsRunUntilStopped()
{
    TrackMenus menus;
    menus.startPolling(false);
    QVERIFY(menus.isPollingAudio() && !menus.isPollingSubtitles());
    const int quick = menus.audioPollInterval();
    QVERIFY(QSignalSpy(&menus, &TrackMenus::audioPollDue).wait());
    menus.showAudioTracks(twoLanguages, 1);
    menus.startPolling(true);
    QCOMPARE(menus.audioPollInterval(), quick);
    QVERIFY(menus.isPollingSubtitles());
    menus.stopPolling();
    QVERIFY(!menus.isPollingAudio() && !menus.isPollingSubtitles());
}

QTEST_MAIN(TestTrackMenu)
#include "tst_trackmenu.moc"
