#include "../support/tablerows.h"
#include "timeshiftprogressbarwidget.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace {

// "a b c" as numbers; "-" is none.
QList<int> numbers(const QString& cell)
{
    QList<int> values;
    if (cell != "-") {
        for (const QString& word : cell.split(' ', Qt::SkipEmptyParts))
            values << word.toInt();
    }
    return values;
}

// A cap's image as the table names it: its variant, "-" when off.
QString variant(const QString& image)
{
    if (image.isEmpty())
        return "-";
    return image.section('_', -1).section('.', 0, 0);
}

QString extent(const QRect& rect)
{
    return rect.isEmpty() ? "-" : QString("%1 %2").arg(rect.x()).arg(rect.width());
}

QString joined(const QList<int>& values)
{
    QStringList words;
    for (int value : values)
        words << QString::number(value);
    return values.isEmpty() ? "-" : words.join(' ');
}

// The bar the tests look at: 224 x 16, a range of 1000 to 1100 and both caps
// (12 pixels wide at this height), 2 pixels to the value.
void setUpClickable(TimeShiftProgressBarWidget& bar)
{
    bar.resize(224, 16);
    bar.setLeftCapVisible(true);
    bar.setRightCapVisible(true);
    bar.setRange(1000, 1100);
}

}  // namespace

class TestTimeShiftBar : public QObject
{
    Q_OBJECT
private slots:
    void geometry_data() { addTableRows(QFINDTESTDATA("../data/osd/timeshift-bar.txt")); }
    void geometry()
    {
        QFETCH(QString, caps);
        QFETCH(QString, range);
        QFETCH(QString, played);
        QFETCH(QString, second);
        QFETCH(QString, markers);
        TimeShiftProgressBarWidget bar;
        bar.resize(224, 16);
        bar.setLeftCapVisible(caps == "left" || caps == "both");
        bar.setRightCapVisible(caps == "right" || caps == "both");
        bar.setRange(numbers(range)[0], numbers(range)[1]);
        bar.setPlayedSection(numbers(played)[0], numbers(played)[1]);
        bar.setSecondSection(numbers(second)[0], numbers(second)[1]);
        bar.setMarkers(numbers(markers));

        QFETCH(QString, value);
        QTEST(QString::number(bar.valueToPixel(value.toInt())), "pixel");
        const TimeShiftProgressBarWidget::Geometry geometry = bar.barGeometry();
        QTEST(QString("%1 %2").arg(geometry.xmin).arg(geometry.xmax), "bar");
        QTEST(variant(geometry.leftCap), "left");
        QTEST(variant(geometry.rightCap), "right");
        QTEST(extent(geometry.played), "played x");
        QTEST(extent(geometry.second), "second x");
        QTEST(joined(geometry.markerPixels), "marker x");
    }

    void pressReportsTheValueUnderThePointer()
    {
        TimeShiftProgressBarWidget bar;
        setUpClickable(bar);
        QSignalSpy reported(&bar, &TimeShiftProgressBarWidget::valueChangedByUser);
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(12 + 2 * 37, 8));
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(3, 8));    // on the left cap
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(220, 8));  // on the right cap
        QTest::mouseClick(&bar, Qt::RightButton, {}, QPoint(100, 8));
        bar.setRange(1000, 1000);
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(100, 8));
        QCOMPARE(reported, (QList<QList<QVariant>>{{1037}, {1000}, {1100}}));
    }

    void repaintLogsTheBar()
    {
        TimeShiftProgressBarWidget bar;
        setUpClickable(bar);
        bar.setPlayedSection(1000, 1050);
        bar.setMarkers({1025});
        bar.setTitle("A title far too long for the bar, so it is elided at its end");
        QTest::ignoreMessage(
            QtDebugMsg,
            "[TimeShiftProgressBarWidget::paintEvent] xmin 12 xmax 212 progres_min "
            "1000 progres_max 1100 played_min 1000 played_max 1050");
        QTest::ignoreMessage(
            QtDebugMsg,
            "[TimeShiftProgressBarWidget::paintEvent]valueToPixel(sectionPlayed.min) "
            "0 valueToPixel(sectionPlayed.max) 100");
        QImage image(bar.size(), QImage::Format_ARGB32);
        bar.render(&image);
    }
};

QTEST_MAIN(TestTimeShiftBar)
#include "tst_timeshiftbar.moc"
