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
#include <QRegion>
#include <QTest>

#include <memory>
#include <optional>

using ChannelList::Delegate;
using ChannelList::Model;
using namespace GuideAnswers;

namespace {

const qint64 kNow = 1700002800 + 1200;  // twenty past a whole hour
const int kHeight = Delegate::kRowHeight;
const QColor kBase(Qt::white);
const QColor kAlternateBase(200, 220, 255);
const QColor kCurrent(122, 193, 66);
const QColor kProgress(224, 224, 224);
const QColor kOutside(Qt::magenta);
const QPoint kRowOrigin(10, 20);  // where the row sits in the painted image

// Rows of the list, in the server's order; the placeholder while loading.
enum Row { Loading = -1, News, Plain, Closed, ZeroLength, Untitled, NoStart, NoGuide, Numbered };

// What a probed area must show.
enum Expect {
    Background,  // every pixel the row's background
    Bar,         // every pixel the progress colour
    Icon,        // every pixel the channel's red icon
    Badge,       // every pixel the timeshift badge's frame
    Outside,     // every pixel untouched
    Ink,         // at least one pixel differs from the row's background
};

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
    addChannel(list, 8, "7. Bare");
    return list;
}

QColor backgroundOf(int row, bool current)
{
    if (current)
        return kCurrent;
    return row == Closed ? kAlternateBase : row == Loading ? kOutside : kBase;
}

QRect box(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

QRegion cornersOf(const QRect& area)
{
    const auto at = [](int x, int y) { return QRect(x, y, 1, 1); };
    return QRegion(at(area.left(), area.top())) + at(area.right(), area.top()) +
           at(area.left(), area.bottom()) + at(area.right(), area.bottom());
}

QRegion ringAround(const QRect& area)
{
    return QRegion(area.adjusted(-1, -1, 1, 1)) - area;
}

// The bar's outline spans (85, h / 2) to (w - 41, h / 2 + 4); the fill grows
// from its left edge.
QRegion barFilledTo(int fillEnd, int width)
{
    const QRect outline = box(85, 24, width - 41, 28);
    return (QRegion(outline) - outline.adjusted(1, 1, -1, -1)) + box(85, 24, fillEnd, 28);
}

QRegion aroundBarFilledTo(int fillEnd, int width)
{
    return QRegion(box(84, 23, width - 40, 29)) - barFilledTo(fillEnd, width);
}

// The first pixel of the area that is not of the colour, if any.
std::optional<QPoint> strayPixel(const QImage& image, const QRegion& area, const QColor& colour)
{
    for (const QRect& rect : area) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image.pixelColor(x, y) != colour)
                    return QPoint(x, y);
            }
        }
    }
    return std::nullopt;
}

}  // namespace

class TestChannelListDelegate : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void probe_data();
    void probe();
    void numberGoesBeforeTheName();
    void rowHeights();

private:
    QImage paint(int row, int width) const;

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
    // News is watched an hour back; its row shows that moment only while current.
    m_manager->channelAt(News)->selectOffset(0);
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

// The row painted at kRowOrigin into a larger image filled with kOutside, so
// that a probe can look just outside the row too.
QImage TestChannelListDelegate::paint(int row, int width) const
{
    QImage image(width + 2 * kRowOrigin.x(), kHeight + 2 * kRowOrigin.y(), QImage::Format_RGB32);
    image.fill(kOutside);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(kRowOrigin, QSize(width, kHeight));
    option.palette.setColor(QPalette::Base, kBase);
    option.palette.setColor(QPalette::AlternateBase, kAlternateBase);
    option.palette.setColor(QPalette::Text, Qt::black);
    m_delegate->paint(&painter, option, m_model->index(row));
    return image;
}

void TestChannelListDelegate::probe_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("current");
    QTest::addColumn<int>("width");
    QTest::addColumn<QRegion>("area");
    QTest::addColumn<int>("expect");
    const auto other = [](const char* name, Row row, const QRegion& area, Expect expect,
                          int width = 300) {
        QTest::newRow(name) << int(row) << false << width << area << int(expect);
    };
    const auto current = [](const char* name, Row row, const QRegion& area, Expect expect) {
        QTest::newRow(name) << int(row) << true << 300 << area << int(expect);
    };
    const QRect whole = box(0, 0, 299, 47);
    const QRegion background = cornersOf(whole) + box(46, 0, 49, 47);  // and between icon and name
    other("nothing around the row", News, ringAround(whole), Outside);
    other("other background", Plain, background, Background);
    current("current background", Plain, background, Background);
    other("closed background", Closed, background, Background);

    // The icon fills the box from (5, 4) to (44, 43); without one, the default.
    other("icon", News, box(5, 4, 44, 43), Icon);
    other("around the icon", News, ringAround(box(5, 4, 44, 43)), Background);
    other("default icon", Plain, box(5, 4, 44, 43), Ink);
    other("name", NoGuide, box(52, 4, 291, 22), Ink);

    // Two thirds of the 175 columns inside the bar are filled, rounded: up at
    // 300 wide, down at 400 (275 columns).
    other("bar", Plain, barFilledTo(201, 300), Bar);
    other("around the bar", Plain, aroundBarFilledTo(201, 300), Background);
    other("bar 400 wide", Plain, barFilledTo(267, 400), Bar, 400);
    other("around the bar 400 wide", Plain, aroundBarFilledTo(267, 400), Background, 400);
    current("current bar", Plain, barFilledTo(201, 300), Bar);
    current("around the current bar", Plain, aroundBarFilledTo(201, 300), Background);
    // An hour back "Morning" (70 minutes) had run 30: 175 * 3 / 7 = 75.
    other("shifted, live bar", News, barFilledTo(201, 300), Bar);
    other("around the shifted live bar", News, aroundBarFilledTo(201, 300), Background);
    current("shifted, watched bar", News, barFilledTo(159, 300), Bar);
    current("around the watched bar", News, aroundBarFilledTo(159, 300), Background);

    // Start time right-aligned up to x 74, stop time from x w - 30, the title
    // below the bar from x 52.
    other("start time", Plain, box(73, 20, 74, 32), Ink);
    other("left of the start time", Plain, box(46, 20, 49, 32), Background);
    other("stop time", Plain, box(270, 20, 271, 32), Ink);
    other("right of the stop time", Plain, box(295, 20, 299, 32), Background);
    other("title", Plain, box(52, 33, 54, 47), Ink);

    // Rows without a showable telecast leave everything below the name blank.
    const QRect lowerHalf = box(46, 23, 299, 47);
    other("zero length", ZeroLength, lowerHalf, Background);
    other("no title", Untitled, lowerHalf, Background);
    other("no start", NoStart, lowerHalf, Background);
    other("no guide", NoGuide, lowerHalf, Background);

    // The badge fills the box from (w - 20, 4) to (w - 6, 18).
    other("badge", News, cornersOf(box(280, 4, 294, 18)), Badge);
    other("around the badge", News, ringAround(box(280, 4, 294, 18)), Background);
    other("badge 360 wide", News, cornersOf(box(340, 4, 354, 18)), Badge, 360);
    other("no badge without offsets", Plain, box(280, 4, 294, 18), Background);

    // The placeholder is plain text: no icon, no badge.
    other("placeholder text", Loading, whole, Ink);
    other("placeholder, no icon", Loading, box(5, 30, 44, 43), Outside);
    other("placeholder, no badge", Loading, cornersOf(box(280, 4, 294, 18)), Outside);
}

void TestChannelListDelegate::probe()
{
    QFETCH(int, row);
    QFETCH(bool, current);
    QFETCH(int, width);
    QFETCH(QRegion, area);
    QFETCH(int, expect);
    if (row == Loading)
        m_manager->load();
    if (current)
        m_manager->setCurrentChannel(m_manager->channelAt(row));
    const QImage image = paint(qMax(row, 0), width);
    const QColor background = backgroundOf(row, current);
    const QRegion inImage = area.translated(kRowOrigin);
    if (expect == Ink) {
        QVERIFY(strayPixel(image, inImage, background));
        return;
    }
    const QMap<int, QColor> colours = {
        {Background, background},
        {Bar, current ? QColor(Qt::white) : kProgress},
        {Icon, Qt::red},
        {Badge, QImage(":/images/timeshifted_unavailable.png").pixelColor(0, 0)},
        {Outside, kOutside},
    };
    const QColor colour = colours[expect];
    QVERIFY(colour != background || expect == Background || expect == Outside);
    if (const std::optional<QPoint> stray = strayPixel(image, inImage, colour)) {
        const QPoint point = *stray - kRowOrigin;
        QFAIL(qPrintable(QStringLiteral("(%1, %2) is %3, not %4")
                             .arg(point.x())
                             .arg(point.y())
                             .arg(image.pixelColor(*stray).name(), colour.name())));
    }
}

// With numbers on, row 7 reads as a channel named "7. Bare" does without.
void TestChannelListDelegate::numberGoesBeforeTheName()
{
    const QImage named = paint(Numbered, 300);
    m_model->setShowNumbers(true);
    const QImage numbered = paint(NoGuide, 300);
    QVERIFY(numbered != paint(Numbered, 300));
    QCOMPARE(numbered, named);
}

void TestChannelListDelegate::rowHeights()
{
    QCOMPARE(m_delegate->sizeHint({}, m_model->index(Plain)).height(), kHeight);
    m_manager->load();
    QVERIFY(m_delegate->sizeHint({}, m_model->index(0)).height() < kHeight);
}

QTEST_MAIN(TestChannelListDelegate)
#include "tst_channellistdelegate.moc"
