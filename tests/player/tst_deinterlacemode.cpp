#include "deinterlacemode.h"

#include <QMetaType>
#include <QTest>

class TestDeinterlaceMode : public QObject
{
    Q_OBJECT
private slots:
    void names_data();
    void names();
    void settingValuesOutOfRangeReadAsNone();
    void isKnownToQueuedConnectionsByName();
};

void TestDeinterlaceMode::names_data()
{
    QTest::addColumn<int>("setting");
    QTest::addColumn<QString>("vlcName");
    QTest::addColumn<QString>("displayName");
    QTest::newRow("none") << 0 << "none"
                          << "None";
    QTest::newRow("discard") << 1 << "discard"
                             << "Discard";
    QTest::newRow("mean") << 2 << "mean"
                          << "Mean";
    QTest::newRow("blend") << 3 << "blend"
                           << "Blend";
    QTest::newRow("bob") << 4 << "bob"
                         << "Bob";
    QTest::newRow("linear") << 5 << "linear"
                            << "Linear";
    QTest::newRow("x") << 6 << "x"
                       << "X";
}

void TestDeinterlaceMode::names()
{
    QFETCH(int, setting);
    QFETCH(QString, vlcName);
    QFETCH(QString, displayName);
    const DeinterlaceMode mode = Deinterlace::fromInt(setting);
    QCOMPARE(static_cast<int>(mode), setting);
    QCOMPARE(Deinterlace::vlcName(mode), vlcName);
    QCOMPARE(Deinterlace::displayName(mode), displayName);
}

void TestDeinterlaceMode::settingValuesOutOfRangeReadAsNone()
{
    QCOMPARE(Deinterlace::fromInt(-1), DeinterlaceMode::None);
    QCOMPARE(Deinterlace::fromInt(Deinterlace::modeCount), DeinterlaceMode::None);
}

void TestDeinterlaceMode::isKnownToQueuedConnectionsByName()
{
    Deinterlace::registerMetaType();
    const QMetaType type = QMetaType::fromName("DeinterlaceMode");
    QVERIFY(type.isValid());
    QCOMPARE(type, QMetaType::fromType<DeinterlaceMode>());
}

QTEST_GUILESS_MAIN(TestDeinterlaceMode)
#include "tst_deinterlacemode.moc"
