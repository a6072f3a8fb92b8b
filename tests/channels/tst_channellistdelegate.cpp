#include "channel.h"
#include "channellistbuilder.h"
#include "channellistdelegate.h"
#include "channellistmodel.h"
#include "channelmanager.h"
#include "fixedclock.h"
#include "guideanswers.h"
#include "temporaryprofile.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <memory>

using ChannelList::Delegate;
using ChannelList::Model;
using namespace GuideAnswers;

namespace {

const qint64 kNow = 1700002800 + 1200;  // twenty past a whole hour
const int kHeight = 48;
const QColor kBase(Qt::white);
const QColor kAlternateBase(200, 220, 255);
const QColor kCurrent(122, 193, 66);
const QColor kProgress(224, 224, 224);
const QColor kOutside(Qt::magenta);
const QPoint kRowOrigin(10, 20);  // where the row sits in the painted image

// Rows of the list, in the server's order.
enum Row { News, Plain, Closed, ZeroLength, Untitled, NoStart, NoGuide };

std::string redPng()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// Two thirds of "Evening News" have run at kNow; an hour ago "Morning" was on.
proto::ChannelListResponse guide()
{
    proto::ChannelListResponse list;
    proto::Channel* news = addChannel(list, 1, "News");
    news->set_icon(redPng());
    addTelecast(news, 11, kNow - 5400, kNow - 1200, "Morning");
    addTelecast(news, 12, kNow - 1200, kNow + 600, "Evening News");
    setOffsetIds(news, {1, 7, 8});
    addTimeOffset(list, 7, -60);
    addTimeOffset(list, 8, -120);

    addTelecast(addChannel(list, 2, "Plain"), 21, kNow - 1200, kNow + 600, "Evening News");
    addTelecast(addChannel(list, 3, "Closed", false), 31, kNow - 1200, kNow + 600, "Evening");
    addTelecast(addChannel(list, 4, "Zero"), 41, kNow, kNow, "Instant");
    addTelecast(addChannel(list, 5, "Untitled"), 51, kNow - 1200, kNow + 600, "");
    addTelecast(addChannel(list, 6, "Unset"), 61, 0, kNow + 600, "No start");
    addChannel(list, 7, "Bare");
    return list;
}

QPalette rowPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Base, kBase);
    palette.setColor(QPalette::AlternateBase, kAlternateBase);
    palette.setColor(QPalette::Text, Qt::black);
    return palette;
}

// Corner pixels of a box, both included.
QList<QPoint> cornersOf(const QRect& box)
{
    return {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()};
}

// Any pixel in the area that differs from the background.
QRect inkIn(const QImage& image, const QRect& area, const QColor& background)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) != background)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

}  // namespace

class TestChannelListDelegate : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fillsItsRowOnly();
    void background_data();
    void background();
    void channelRowHeight();

    void iconFillsItsBox();
    void defaultIconWithoutOne();
    void nameWithItsNumber();

    void progressBar_data();
    void progressBar();
    void currentChannelShowsTheWatchedMoment();
    void timesBesideTheBarAndTitleBelow();
    void noTelecastDrawn_data();
    void noTelecastDrawn();

    void timeshiftBadge_data();
    void timeshiftBadge();

    void loadingRowIsPlainText();

private:
    // The row as painted at kRowOrigin into a larger image.
    QImage paintWhole(int row, int width) const;
    // Just the row, with (0, 0) at its top-left corner.
    QImage paint(int row, int width = 300) const;

    std::unique_ptr<TemporaryProfile> m_profile;
    std::unique_ptr<FixedClock> m_clock;
    proto::ChannelListResponse m_list;
    std::unique_ptr<ChannelManager> m_manager;
    std::unique_ptr<Model> m_model;
    std::unique_ptr<Delegate> m_delegate;
};

void TestChannelListDelegate::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_clock = std::make_unique<FixedClock>(kNow);
    m_list = guide();
    m_manager = std::make_unique<ChannelManager>();
    m_manager->loadFrom({&m_list});
    m_model = std::make_unique<Model>();
    m_model->setChannelManager(m_manager.get());
    m_delegate = std::make_unique<Delegate>();
}

void TestChannelListDelegate::cleanup()
{
    m_delegate.reset();
    m_model.reset();
    m_manager.reset();
    m_clock.reset();
    Settings::destroy();
    m_profile.reset();
}

QImage TestChannelListDelegate::paintWhole(int row, int width) const
{
    QImage image(width + 2 * kRowOrigin.x(), kHeight + 2 * kRowOrigin.y(), QImage::Format_RGB32);
    image.fill(kOutside);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(kRowOrigin, QSize(width, kHeight));
    option.palette = rowPalette();
    m_delegate->paint(&painter, option, m_model->index(row));
    return image;
}

QImage TestChannelListDelegate::paint(int row, int width) const
{
    return paintWhole(row, width).copy(QRect(kRowOrigin, QSize(width, kHeight)));
}

// ---- the row ---------------------------------------------------------------

void TestChannelListDelegate::fillsItsRowOnly()
{
    const int width = 300;
    const QImage image = paintWhole(News, width);
    const QRect row(kRowOrigin, QSize(width, kHeight));
    const QRect ring = row.adjusted(-1, -1, 1, 1);
    for (int x = ring.left(); x <= ring.right(); ++x) {
        QCOMPARE(image.pixelColor(x, ring.top()), kOutside);
        QCOMPARE(image.pixelColor(x, ring.bottom()), kOutside);
    }
    for (int y = ring.top(); y <= ring.bottom(); ++y) {
        QCOMPARE(image.pixelColor(ring.left(), y), kOutside);
        QCOMPARE(image.pixelColor(ring.right(), y), kOutside);
    }
    for (const QPoint& corner : cornersOf(row))
        QCOMPARE(image.pixelColor(corner), kBase);
}

void TestChannelListDelegate::background_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("current");
    QTest::addColumn<QColor>("background");
    QTest::newRow("other channel") << int(Plain) << false << kBase;
    QTest::newRow("current channel") << int(Plain) << true << kCurrent;
    QTest::newRow("closed channel") << int(Closed) << false << kAlternateBase;
}

void TestChannelListDelegate::background()
{
    QFETCH(int, row);
    QFETCH(bool, current);
    QFETCH(QColor, background);
    if (current)
        m_manager->setCurrentChannel(m_manager->channelAt(row));
    const QImage image = paint(row);
    for (const QPoint& point : cornersOf(image.rect()) + QList<QPoint>{{48, 2}, {48, 46}})
        QCOMPARE(image.pixelColor(point), background);
}

void TestChannelListDelegate::channelRowHeight()
{
    QStyleOptionViewItem option;
    QCOMPARE(m_delegate->sizeHint(option, m_model->index(Plain)).height(), kHeight);
}

// ---- icon and name ---------------------------------------------------------

void TestChannelListDelegate::iconFillsItsBox()
{
    const QImage image = paint(News);
    for (const QPoint& corner : cornersOf(QRect(5, 4, 40, 40)))
        QCOMPARE(image.pixelColor(corner), QColor(Qt::red));
    for (const QPoint& outside : {QPoint(4, 24), QPoint(45, 24), QPoint(24, 3), QPoint(24, 44)})
        QCOMPARE(image.pixelColor(outside), kBase);
}

void TestChannelListDelegate::defaultIconWithoutOne()
{
    QImage expected(300, kHeight, QImage::Format_RGB32);
    expected.fill(kBase);
    QPainter(&expected).drawPixmap(QRect(5, 4, 40, 40),
                                   QPixmap(":/images/default-channel-icon.png"));
    const QRect iconBox(0, 0, 50, kHeight);
    QCOMPARE(paint(Plain).copy(iconBox), expected.copy(iconBox));
}

// With numbers on, the name reads "7. Bare" at the bottom left of its box.
void TestChannelListDelegate::nameWithItsNumber()
{
    const int width = 300;
    m_model->setShowNumbers(true);
    QImage expected(width, kHeight, QImage::Format_RGB32);
    expected.fill(kBase);
    {
        QPainter painter(&expected);
        painter.setFont(QFont("Arial", 12));
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(52, 4), QPoint(width - 9, kHeight / 2 - 2)),
                         Qt::AlignLeft | Qt::AlignBottom, "7. Bare");
    }
    const QRect nameArea(46, 0, width - 46, kHeight);
    const QImage painted = paint(NoGuide, width);
    QVERIFY(!inkIn(painted, nameArea, kBase).isEmpty());
    QCOMPARE(painted.copy(nameArea), expected.copy(nameArea));
}

// ---- the running telecast --------------------------------------------------

void TestChannelListDelegate::progressBar_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("current");
    QTest::addColumn<int>("fillEnd");  // the last filled column
    // Two thirds of w - 125 from x 85, rounded: up at 300, down at 400.
    QTest::newRow("300 wide") << 300 << false << 84 + 117;
    QTest::newRow("400 wide") << 400 << false << 84 + 183;
    QTest::newRow("300 wide, current") << 300 << true << 84 + 117;
}

void TestChannelListDelegate::progressBar()
{
    QFETCH(int, width);
    QFETCH(bool, current);
    QFETCH(int, fillEnd);
    if (current)
        m_manager->setCurrentChannel(m_manager->channelAt(Plain));
    const QColor background = current ? kCurrent : kBase;
    const QColor bar = current ? QColor(Qt::white) : kProgress;
    const QImage image = paint(Plain, width);
    const int top = kHeight / 2;
    const int middle = top + 2;
    const int right = width - 41;

    QCOMPARE(image.pixelColor(84, middle), background);
    QCOMPARE(image.pixelColor(85, middle), bar);
    QCOMPARE(image.pixelColor(fillEnd, middle), bar);
    QCOMPARE(image.pixelColor(fillEnd, top + 4), bar);
    QCOMPARE(image.pixelColor(fillEnd + 1, middle), background);
    QCOMPARE(image.pixelColor(right - 1, middle), background);
    QCOMPARE(image.pixelColor(right, middle), bar);
    QCOMPARE(image.pixelColor(right + 1, middle), background);
    const int unfilled = (fillEnd + right) / 2;
    QCOMPARE(image.pixelColor(unfilled, top - 1), background);
    QCOMPARE(image.pixelColor(unfilled, top), bar);
    QCOMPARE(image.pixelColor(unfilled, top + 4), bar);
    QCOMPARE(image.pixelColor(unfilled, top + 5), background);
}

// An hour back, "Morning" (80 minutes) has run 30 minutes: 175 * 3 / 7 = 75.
void TestChannelListDelegate::currentChannelShowsTheWatchedMoment()
{
    Channel* news = m_manager->channelAt(News);
    news->selectOffset(0);
    QCOMPARE(news->currentOffsetMinutes(), -60);
    const int middle = kHeight / 2 + 2;

    const QImage live = paint(News);
    QCOMPARE(live.pixelColor(84 + 117, middle), kProgress);
    QCOMPARE(live.pixelColor(84 + 118, middle), kBase);

    m_manager->setCurrentChannel(news);
    const QImage shifted = paint(News);
    QCOMPARE(shifted.pixelColor(84 + 75, middle), QColor(Qt::white));
    QCOMPARE(shifted.pixelColor(84 + 76, middle), kCurrent);
}

// Start time right-aligned ending at x 74, stop time from x w - 30, both
// around the line at h / 2 + 2; the title from (52, h / 2 + 7) down.
void TestChannelListDelegate::timesBesideTheBarAndTitleBelow()
{
    const int width = 300;
    const QImage image = paint(Plain, width);
    const int timesTop = kHeight / 2 - 1;
    const int titleTop = kHeight / 2 + 7;

    const QRect start = inkIn(image, QRect(46, timesTop, 84 - 46, titleTop - timesTop), kBase);
    QVERIFY(!start.isEmpty());
    QVERIFY2(start.left() >= 50 && start.right() <= 74 && start.right() >= 70,
             qPrintable(QString("start time ink %1..%2").arg(start.left()).arg(start.right())));

    const QRect stop = inkIn(image, QRect(width - 40, timesTop, 40, titleTop - timesTop), kBase);
    QVERIFY(!stop.isEmpty());
    QVERIFY2(stop.left() >= width - 30 && stop.left() <= width - 27 && stop.right() <= width - 6,
             qPrintable(QString("stop time ink %1..%2").arg(stop.left()).arg(stop.right())));
    const int timesCentre = (start.top() + start.bottom() + 1) / 2;
    QVERIFY2(qAbs(timesCentre - (kHeight / 2 + 2)) <= 1, qPrintable(QString::number(timesCentre)));

    // The title's top is looked for between the times, below the bar; its
    // left edge below the times.
    const int barBottom = kHeight / 2 + 4;
    const QRect titleTopInk =
        inkIn(image, QRect(76, barBottom + 1, width - 41 - 76, kHeight - barBottom - 1), kBase);
    QVERIFY(!titleTopInk.isEmpty());
    QVERIFY2(titleTopInk.top() >= titleTop && titleTopInk.top() <= titleTop + 3,
             qPrintable(QString::number(titleTopInk.top())));
    const QRect titleLeftInk =
        inkIn(image, QRect(46, titleTop + 2, 30, kHeight - titleTop - 2), kBase);
    QVERIFY(!titleLeftInk.isEmpty());
    QVERIFY2(titleLeftInk.left() >= 52 && titleLeftInk.left() <= 54,
             qPrintable(QString::number(titleLeftInk.left())));
}

void TestChannelListDelegate::noTelecastDrawn_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("zero length") << int(ZeroLength);
    QTest::newRow("no title") << int(Untitled);
    QTest::newRow("no start") << int(NoStart);
    QTest::newRow("no guide") << int(NoGuide);
}

void TestChannelListDelegate::noTelecastDrawn()
{
    QFETCH(int, row);
    const Channel* channel = m_manager->channelAt(row);
    QVERIFY(!channel->hasTimeOffsets());
    const QImage image = paint(row);
    const QRect lowerHalf(46, kHeight / 2 - 1, image.width() - 46, kHeight / 2 + 1);
    QVERIFY(inkIn(image, lowerHalf, kBase).isEmpty());
}

// ---- timeshift badge -------------------------------------------------------

void TestChannelListDelegate::timeshiftBadge_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("300 wide") << 300;
    QTest::newRow("360 wide") << 360;
}

void TestChannelListDelegate::timeshiftBadge()
{
    QFETCH(int, width);
    const QImage picture(":/images/timeshifted_unavailable.png");
    QVERIFY(!picture.isNull());
    const QColor frame = picture.pixelColor(0, 0);
    QVERIFY(frame != kBase);
    const QRect badge(QPoint(width - 20, 4), QPoint(width - 6, 18));

    const QImage shiftable = paint(News, width);
    for (const QPoint& corner : cornersOf(badge))
        QCOMPARE(shiftable.pixelColor(corner), frame);
    for (const QPoint& outside :
         {QPoint(width - 21, 11), QPoint(width - 5, 11), QPoint(width - 13, 3)})
        QCOMPARE(shiftable.pixelColor(outside), kBase);

    const QImage plain = paint(Plain, width);
    QVERIFY(inkIn(plain, badge, kBase).isEmpty());
}

// ---- while loading ---------------------------------------------------------

// The channels of the earlier load are still there, but not shown.
void TestChannelListDelegate::loadingRowIsPlainText()
{
    m_manager->load();
    const QImage image = paint(0);
    QVERIFY(!inkIn(image, image.rect(), kBase).isEmpty());
    QVERIFY(image.pixelColor(5, 4) != QColor(Qt::red));
    QVERIFY(image.pixelColor(44, 43) != QColor(Qt::red));
    const QColor frame = QImage(":/images/timeshifted_unavailable.png").pixelColor(0, 0);
    QVERIFY(image.pixelColor(300 - 20, 4) != frame);
    QVERIFY(m_delegate->sizeHint(QStyleOptionViewItem(), m_model->index(0)).height() < kHeight);
}

QTEST_MAIN(TestChannelListDelegate)
#include "tst_channellistdelegate.moc"
