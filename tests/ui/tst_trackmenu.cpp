#include "trackmenu.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {

QList<bool> checkStates(const TrackMenu& menu)
{
    QList<bool> states;
    for (const QAction* entry : menu.actions())
        states << entry->isChecked();
    return states;
}

const QStringList twoLanguages{"Track 1 - [English]", "Track 2 - [Russian]"};

}  // namespace

// The menu behind the audio-track and subtitle buttons.
class TestTrackMenu : public QObject
{
    Q_OBJECT
private slots:
    void entryTextIsTheLanguageInBrackets_data();
    void entryTextIsTheLanguageInBrackets();
    void setTracksReplacesTheEntries();
    void checkLeavesOneEntryChecked();
    void triggeringAnEntryChecksOnlyIt();
    void indexOfLanguageFindsTheFirstMatch();
};

void TestTrackMenu::entryTextIsTheLanguageInBrackets_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("text");
    QTest::newRow("libVLC's wording") << "Track 1 - [English]"
                                      << "English";
    QTest::newRow("more digits and blanks") << "Track  12 - [Русский]"
                                            << "Русский";
    QTest::newRow("the last brackets") << "Track 3 - [Dolby] [Ukrainian]"
                                       << "Ukrainian";
    QTest::newRow("no language") << "Track 1"
                                 << "Track 1";
    QTest::newRow("switched off") << "Disable"
                                  << "Disable";
    QTest::newRow("no track number") << "Track - [English]"
                                     << "Track - [English]";
    QTest::newRow("empty brackets") << "Track 1 - []"
                                    << "Track 1 - []";
}

void TestTrackMenu::entryTextIsTheLanguageInBrackets()
{
    QFETCH(QString, description);
    QFETCH(QString, text);
    QCOMPARE(TrackMenu::entryText(description), text);
}

void TestTrackMenu::setTracksReplacesTheEntries()
{
    TrackMenu menu(QIcon(QStringLiteral(":/images/audio-track.png")));
    menu.setTracks({"Disable", "Track 1 - [English]", "Track 2"});
    QCOMPARE(menu.count(), 3);
    QCOMPARE(menu.textAt(0), QStringLiteral("Disable"));
    QCOMPARE(menu.textAt(1), QStringLiteral("English"));
    QCOMPARE(menu.textAt(2), QStringLiteral("Track 2"));
    QCOMPARE(menu.textAt(3), QString());
    for (const QAction* entry : menu.actions()) {
        QVERIFY(entry->isCheckable());
        QVERIFY(!entry->icon().isNull());
    }
    QCOMPARE(menu.checkedIndex(), -1);

    menu.check(1);
    QPointer<QAction> old = menu.actions().at(0);
    menu.setTracks(twoLanguages);
    QVERIFY(old.isNull());
    QCOMPARE(menu.count(), 2);
    QCOMPARE(menu.checkedIndex(), -1);
    menu.setTracks({});
    QCOMPARE(menu.count(), 0);
}

void TestTrackMenu::checkLeavesOneEntryChecked()
{
    TrackMenu menu(QIcon{});
    menu.setTracks({"Disable", "Track 1 - [English]", "Track 2 - [Russian]"});
    menu.check(2);
    QCOMPARE(checkStates(menu), (QList<bool>{false, false, true}));
    menu.check(0);
    QCOMPARE(checkStates(menu), (QList<bool>{true, false, false}));
    QCOMPARE(menu.checkedIndex(), 0);
    menu.check(-1);
    QCOMPARE(checkStates(menu), (QList<bool>{false, false, false}));
    QCOMPARE(menu.checkedIndex(), -1);
    menu.check(3);
    QCOMPARE(menu.checkedIndex(), -1);
}

void TestTrackMenu::triggeringAnEntryChecksOnlyIt()
{
    TrackMenu menu(QIcon{});
    menu.setTracks(twoLanguages);
    menu.check(1);
    QSignalSpy triggered(&menu, &QMenu::triggered);
    menu.actions().at(0)->trigger();
    QCOMPARE(triggered.count(), 1);
    auto* chosen = triggered.first().first().value<QAction*>();
    QCOMPARE(menu.indexOf(chosen), 0);
    QCOMPARE(checkStates(menu), (QList<bool>{true, false}));

    // Choosing the checked entry again keeps it checked.
    menu.actions().at(0)->trigger();
    QCOMPARE(checkStates(menu), (QList<bool>{true, false}));

    QAction foreign(QStringLiteral("English"));
    QCOMPARE(menu.indexOf(&foreign), -1);
    QCOMPARE(menu.indexOf(nullptr), -1);
}

void TestTrackMenu::indexOfLanguageFindsTheFirstMatch()
{
    TrackMenu menu(QIcon{});
    const QStringList preferred{"russian", "ukrainian"};
    menu.setTracks({"Track 1 - [English]", "Track 2 - [UKRAINIAN]", "Track 3 - [Russian]"});
    QCOMPARE(menu.indexOfLanguage(preferred), 1);
    menu.setTracks(twoLanguages);
    QCOMPARE(menu.indexOfLanguage(preferred), 1);
    menu.setTracks({"Track 1 - [English]", "Track 2 - [Russian dub]"});
    QCOMPARE(menu.indexOfLanguage(preferred), -1);
    menu.setTracks({});
    QCOMPARE(menu.indexOfLanguage(preferred), -1);
}

QTEST_MAIN(TestTrackMenu)
#include "tst_trackmenu.moc"
