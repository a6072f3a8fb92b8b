#include "keyrepeatfilter.h"

#include <QKeyEvent>
#include <QTest>

// The filter that drops auto-repeated and doubled key presses, on a clock the
// test moves by hand.
class TestKeyRepeatFilter : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void firstKeyIsAccepted();
    void sameKeyWithinTheWindowIsDropped_data();
    void sameKeyWithinTheWindowIsDropped();
    void otherKeysAreNotRepeats_data();
    void otherKeysAreNotRepeats();
    void droppedPressesDoNotRestartTheWindow();
    void chordCountsOnlyCtrlAltAndShift();

private:
    KeyRepeatFilter filter()
    {
        return KeyRepeatFilter([this] { return m_now; });
    }

    qint64 m_now = 0;
};

void TestKeyRepeatFilter::init()
{
    m_now = 5000;
}

void TestKeyRepeatFilter::firstKeyIsAccepted()
{
    KeyRepeatFilter keys = filter();
    QVERIFY(keys.accept(KeyChord(Qt::Key_PageDown)));
}

void TestKeyRepeatFilter::sameKeyWithinTheWindowIsDropped_data()
{
    QTest::addColumn<qint64>("after");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("at once") << qint64(0) << false;
    QTest::newRow("50 ms") << qint64(50) << false;
    QTest::newRow("exactly 100 ms") << qint64(100) << false;
    QTest::newRow("101 ms") << qint64(101) << true;
    QTest::newRow("a second") << qint64(1000) << true;
}

void TestKeyRepeatFilter::sameKeyWithinTheWindowIsDropped()
{
    QFETCH(qint64, after);
    QFETCH(bool, accepted);
    KeyRepeatFilter keys = filter();
    QVERIFY(keys.accept(KeyChord(Qt::Key_Plus)));
    m_now += after;
    QCOMPARE(keys.accept(KeyChord(Qt::Key_Plus)), accepted);
}

void TestKeyRepeatFilter::otherKeysAreNotRepeats_data()
{
    QTest::addColumn<int>("secondKey");
    QTest::addColumn<Qt::KeyboardModifiers>("secondModifiers");
    QTest::newRow("other key") << int(Qt::Key_2) << Qt::KeyboardModifiers();
    QTest::newRow("with Ctrl") << int(Qt::Key_1) << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("with Alt") << int(Qt::Key_1) << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("with Shift") << int(Qt::Key_1) << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void TestKeyRepeatFilter::otherKeysAreNotRepeats()
{
    QFETCH(int, secondKey);
    QFETCH(Qt::KeyboardModifiers, secondModifiers);
    KeyRepeatFilter keys = filter();
    QVERIFY(keys.accept(KeyChord(Qt::Key_1)));
    QVERIFY(keys.accept(KeyChord(secondKey, secondModifiers)));
    // The other key is now the last one: the first is no repeat of it.
    QVERIFY(keys.accept(KeyChord(Qt::Key_1)));
}

void TestKeyRepeatFilter::droppedPressesDoNotRestartTheWindow()
{
    KeyRepeatFilter keys = filter();
    QVERIFY(keys.accept(KeyChord(Qt::Key_Down)));
    m_now += 60;
    QVERIFY(!keys.accept(KeyChord(Qt::Key_Down)));
    m_now += 60;  // 120 ms after the accepted press, 60 after the dropped one
    QVERIFY(keys.accept(KeyChord(Qt::Key_Down)));
    m_now += 60;
    QVERIFY(!keys.accept(KeyChord(Qt::Key_Down)));
}

void TestKeyRepeatFilter::chordCountsOnlyCtrlAltAndShift()
{
    const QKeyEvent keypad(QEvent::KeyPress, Qt::Key_5, Qt::KeypadModifier);
    QCOMPARE(KeyChord::of(&keypad), KeyChord(Qt::Key_5));
    const QKeyEvent ctrlShift(QEvent::KeyPress, Qt::Key_F,
                              Qt::ControlModifier | Qt::ShiftModifier | Qt::MetaModifier);
    QCOMPARE(KeyChord::of(&ctrlShift),
             KeyChord(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier));
    QVERIFY(KeyChord(Qt::Key_F, Qt::ControlModifier) != KeyChord(Qt::Key_F));

    KeyRepeatFilter keys = filter();
    QVERIFY(keys.accept(KeyChord::of(&keypad)));
    const QKeyEvent plain(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier);
    QVERIFY(!keys.accept(KeyChord::of(&plain)));
}

QTEST_GUILESS_MAIN(TestKeyRepeatFilter)
#include "tst_keyrepeatfilter.moc"
