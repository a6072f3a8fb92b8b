// The channel list beside the video: the model's rows, the delegate's painting
// of them and the view through which the user chooses a channel.

#include "channel.h"
#include "channellistbuilder.h"
#include "channellistdelegate.h"
#include "channellistmodel.h"
#include "channellistview.h"
#include "channelmanager.h"
#include "fixedclock.h"
#include "guideanswers.h"
#include "scriptedguard.h"
#include "temporaryprofile.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using ChannelList::Delegate;
using ChannelList::Model;
using ChannelList::View;
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
const int kChannels = 40;

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
// The third channel is closed to the subscriber.
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
    for (int id = 9; id <= kChannels; ++id)
        addChannel(list, id, "Channel " + std::to_string(id));
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

// The first pixel of the row's area that is not of the colour, described; empty
// if there is none.
QString strayPixel(const QImage& image, const QRegion& area, const QColor& colour)
{
    for (const QRect& rect : area.translated(kRowOrigin)) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image.pixelColor(x, y) != colour)
                    return QStringLiteral("(%1, %2) is %3")
                        .arg(x - kRowOrigin.x())
                        .arg(y - kRowOrigin.y())
                        .arg(image.pixelColor(x, y).name());
            }
        }
    }
    return {};
}

QFont listFont(bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Arial"), 12);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

}  // namespace

class TestChannelList : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void rowData_data();
    void rowData();
    void rowsFollowTheManagersList();
    void currentChannelIsAnnouncedByRow();
    void resetsWhenTheListMayHaveChanged_data();
    void resetsWhenTheListMayHaveChanged();
    void refreshesEverySecondWhileAttached();

    void paintedRowMatchesProbe_data();
    void paintedRowMatchesProbe();
    void numberGoesBeforeTheName();
    void rowHeights();

    void choosingARowChangesTheChannel_data();
    void choosingARowChangesTheChannel();
    void viewPaintsWithNumbersAndNoSelection();
    void scrollsTheCurrentChannelToTheCentre();

private:
    QImage paint(int row, int width) const;
    bool showView();
    QPoint centreOfRow(int row) const;
    void doubleClickRow(int row);

    std::unique_ptr<TemporaryProfile> m_profile;
    std::unique_ptr<FixedClock> m_clock;
    proto::ChannelListResponse m_list;
    ScriptedGuard m_guard;
    std::unique_ptr<ChannelManager> m_manager;
    std::unique_ptr<Model> m_model;
    std::unique_ptr<Delegate> m_delegate;
    std::unique_ptr<View> m_view;
};

void TestChannelList::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_clock = std::make_unique<FixedClock>(kNow);
    m_list = guide();
    m_guard = {};
    m_manager = std::make_unique<ChannelManager>();
    m_manager->loadFrom({&m_list});
    m_manager->setChannelChangeGuard(&m_guard);
    m_model = std::make_unique<Model>();
    m_model->setChannelManager(m_manager.get());
    m_delegate = std::make_unique<Delegate>();
    // News is watched an hour back; its row shows that moment only while current.
    m_manager->channelAt(News)->selectOffset(0);
}

void TestChannelList::cleanup()
{
    m_view.reset();
    m_delegate.reset();
    m_model.reset();
    m_manager.reset();
    m_clock.reset();
    Settings::destroy();
    m_profile.reset();
}

// ---- the model ---------------------------------------------------------------

void TestChannelList::rowData_data()
{
    QTest::addColumn<QString>("state");  // "", "numbers", "current" (row 4) or "loading"
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    const auto add = [](const char* name, const char* state, int row, int role, QVariant value) {
        QTest::newRow(name) << state << row << role << value;
    };
    add("name", "", 6, Qt::DisplayRole, "Bare");
    add("first number", "numbers", 0, Qt::DisplayRole, "    1 News");
    add("seventh number", "numbers", 6, Qt::DisplayRole, "    7 Bare");
    add("font", "", 3, Qt::FontRole, listFont());
    add("no background", "", 3, Qt::BackgroundRole, QVariant());
    add("black text", "", 3, Qt::ForegroundRole, QBrush(Qt::black));
    add("current font", "current", 4, Qt::FontRole, listFont(true));
    add("current background", "current", 4, Qt::BackgroundRole, QBrush(kCurrent));
    add("current text", "current", 4, Qt::ForegroundRole, QBrush(Qt::white));
    add("beside the current", "current", 3, Qt::FontRole, listFont());
    add("placeholder", "loading", 0, Qt::DisplayRole, "Loading channels...");
    add("placeholder font", "loading", 0, Qt::FontRole, listFont(false, true));
    add("placeholder icon", "loading", 0, Qt::DecorationRole, QVariant());
}

void TestChannelList::rowData()
{
    QFETCH(QString, state);
    QFETCH(int, row);
    QFETCH(int, role);
    QFETCH(QVariant, value);
    if (state == "numbers")
        m_model->setShowNumbers(true);
    if (state == "current")
        m_manager->setCurrentChannel(m_manager->channelAt(4));
    if (state == "loading")
        m_manager->load();
    QCOMPARE(m_model->index(row).data(role), value);
}

void TestChannelList::rowsFollowTheManagersList()
{
    Model detached;
    QCOMPARE(detached.rowCount(), 0);
    ChannelManager notLoaded;
    detached.setChannelManager(&notLoaded);
    QCOMPARE(detached.rowCount(), 0);

    QCOMPARE(m_model->rowCount(), kChannels);
    QCOMPARE(m_model->channel(m_model->index(4)), m_manager->channelAt(4));
    QCOMPARE(m_model->indexOf(m_manager->channelAt(4)).row(), 4);
    const QPixmap icon = m_model->index(1).data(Qt::DecorationRole).value<QPixmap>();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.toImage(), m_manager->channelAt(1)->icon().toImage());

    Channel* closed = m_manager->channelAt(2);
    m_manager->setShowCloseChannel(false);
    QCOMPARE(m_model->rowCount(), kChannels - 1);
    QCOMPARE(m_model->index(2).data().toString(), QStringLiteral("Zero"));
    QVERIFY(!m_model->indexOf(closed).isValid());

    m_manager->load();
    QCOMPARE(m_model->rowCount(), 1);
    QVERIFY(!m_model->channel(m_model->index(0)));
    QVERIFY(!m_model->indexOf(m_manager->channelAt(0)).isValid());
}

// Only the rows that change look are announced: the old current and the new.
void TestChannelList::currentChannelIsAnnouncedByRow()
{
    QSignalSpy changed(m_model.get(), &QAbstractItemModel::dataChanged);
    m_manager->setCurrentChannel(m_manager->channelAt(1));
    m_model->selectChannel(m_manager->channelAt(5));
    QCOMPARE(changed.count(), 3);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 1);
    QCOMPARE(changed.at(1).at(0).value<QModelIndex>().row(), 1);
    QCOMPARE(changed.at(2).at(0).value<QModelIndex>().row(), 5);
    QVERIFY(m_model->isCurrent(m_model->index(5)));
    QVERIFY(!m_model->isCurrent(m_model->index(1)));

    changed.clear();
    m_manager->clear();
    QVERIFY(!m_model->currentChannel());
    QCOMPARE(changed.count(), 1);

    Model attachedLater;
    m_manager->loadFrom({&m_list});
    m_manager->setCurrentChannel(m_manager->channelAt(3));
    attachedLater.setChannelManager(m_manager.get());
    QVERIFY(attachedLater.isCurrent(attachedLater.index(3)));
}

void TestChannelList::resetsWhenTheListMayHaveChanged_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<int>("resets");
    QTest::newRow("load started") << "load" << 1;
    QTest::newRow("load failed") << "fail" << 1;
    QTest::newRow("closed channels hidden") << "hide closed" << 1;
    QTest::newRow("numbers shown") << "numbers on" << 1;
    QTest::newRow("numbers already hidden") << "numbers off" << 0;
    QTest::newRow("detached manager loads") << "detach" << 0;
    QTest::newRow("replaced manager loads") << "replace" << 0;
}

void TestChannelList::resetsWhenTheListMayHaveChanged()
{
    QFETCH(QString, trigger);
    QFETCH(int, resets);
    ChannelManager replacement;
    if (trigger == "fail")
        m_manager->load();
    if (trigger == "detach")
        m_model->setChannelManager(nullptr);
    if (trigger == "replace")
        m_model->setChannelManager(&replacement);
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);

    const QHash<QString, std::function<void()>> triggers = {
        {"fail", [&] { QMetaObject::invokeMethod(m_manager.get(), "iptvServerError"); }},
        {"hide closed", [&] { m_manager->setShowCloseChannel(false); }},
        {"numbers on", [&] { m_model->setShowNumbers(true); }},
        {"numbers off", [&] { m_model->setShowNumbers(false); }},
    };
    triggers.value(trigger, [&] { m_manager->load(); })();
    QCOMPARE(reset.count(), resets);
    QCOMPARE(m_model->isLoading(), trigger == "load");
}

void TestChannelList::refreshesEverySecondWhileAttached()
{
    const QTimer* timer = m_model->findChild<QTimer*>();
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1000);
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
    QVERIFY(reset.wait(3000));
    QCOMPARE(m_model->rowCount(), kChannels);

    m_model->setChannelManager(nullptr);
    QVERIFY(!timer->isActive());
    QCOMPARE(m_model->rowCount(), 0);
}

// ---- the delegate ------------------------------------------------------------

// The row painted at kRowOrigin into a larger image filled with kOutside, so
// that a probe can look just outside the row too.
QImage TestChannelList::paint(int row, int width) const
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

void TestChannelList::paintedRowMatchesProbe_data()
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

void TestChannelList::paintedRowMatchesProbe()
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
    if (expect == Ink) {
        QVERIFY(!strayPixel(image, area, background).isEmpty());
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
    QCOMPARE(strayPixel(image, area, colour), QString());
}

// With numbers on, row 7 reads as a channel named "7. Bare" does without.
void TestChannelList::numberGoesBeforeTheName()
{
    const QImage named = paint(Numbered, 300);
    m_model->setShowNumbers(true);
    const QImage numbered = paint(NoGuide, 300);
    QVERIFY(numbered != paint(Numbered, 300));
    QCOMPARE(numbered, named);
}

void TestChannelList::rowHeights()
{
    QCOMPARE(m_delegate->sizeHint({}, m_model->index(Plain)).height(), kHeight);
    m_manager->load();
    QVERIFY(m_delegate->sizeHint({}, m_model->index(0)).height() < kHeight);
}

// ---- the view ----------------------------------------------------------------

bool TestChannelList::showView()
{
    m_view = std::make_unique<View>();
    m_view->setChannelManager(m_manager.get());
    m_view->resize(240, 5 * kHeight);
    m_view->show();
    return QTest::qWaitForWindowExposed(m_view.get());
}

QPoint TestChannelList::centreOfRow(int row) const
{
    return m_view->visualRect(m_view->model()->index(row, 0)).center();
}

// Like a user: the first click lands on the row, the second one double-clicks.
void TestChannelList::doubleClickRow(int row)
{
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, centreOfRow(row));
    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, centreOfRow(row));
}

// A double click or Return on a row asks the guard, which may refuse; the
// placeholder of a loading list offers nothing to choose.
void TestChannelList::choosingARowChangesTheChannel_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<bool>("allow");
    QTest::addColumn<bool>("loading");
    QTest::newRow("double click") << false << true << false;
    QTest::newRow("Return") << true << true << false;
    QTest::newRow("refused") << false << false << false;
    QTest::newRow("placeholder") << false << true << true;
}

void TestChannelList::choosingARowChangesTheChannel()
{
    QFETCH(bool, byKey);
    QFETCH(bool, allow);
    QFETCH(bool, loading);
    QVERIFY(showView());
    m_guard.allow = allow;
    if (loading)
        m_manager->load();
    const int row = loading ? 0 : 3;
    if (byKey) {
        m_view->setCurrentIndex(m_view->model()->index(row, 0));
        QTest::keyClick(m_view.get(), Qt::Key_Return);
    } else {
        doubleClickRow(row);
    }
    Channel* chosen = loading ? nullptr : m_manager->channelAt(row);
    QCOMPARE(m_guard.asked.size(), loading ? 0 : 1);
    QVERIFY(loading || m_guard.asked.first() == qMakePair<Channel*>(nullptr, chosen));
    QCOMPARE(m_manager->currentChannel(), allow ? chosen : nullptr);
    QCOMPARE(m_view->channelModel()->isCurrent(m_view->model()->index(row, 0)), allow && !loading);
}

void TestChannelList::viewPaintsWithNumbersAndNoSelection()
{
    QVERIFY(showView());
    QVERIFY(qobject_cast<Delegate*>(m_view->itemDelegate()));
    QCOMPARE(m_view->selectionMode(), QAbstractItemView::NoSelection);
    m_view->setShowNumbers(true);
    QCOMPARE(m_view->model()->index(9, 0).data().toString(), QStringLiteral("   10 Channel 10"));
}

void TestChannelList::scrollsTheCurrentChannelToTheCentre()
{
    QVERIFY(showView());
    m_manager->setCurrentChannel(m_manager->channelAt(20));
    m_view->scrollToCurrentChannel();
    const int middle = m_view->viewport()->height() / 2;
    QVERIFY2(qAbs(centreOfRow(20).y() - middle) <= kHeight / 2,
             qPrintable(QString("row at %1, middle %2").arg(centreOfRow(20).y()).arg(middle)));
}

QTEST_MAIN(TestChannelList)
#include "tst_channellist.moc"
