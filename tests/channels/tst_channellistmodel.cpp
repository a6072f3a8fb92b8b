#include "channel.h"
#include "channellistbuilder.h"
#include "channellistmodel.h"
#include "channelmanager.h"
#include "guideanswers.h"
#include "temporaryprofile.h"

#include <QBrush>
#include <QFont>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

using ChannelList::Model;
using namespace GuideAnswers;

namespace {

const char* const kNames[] = {"One", "Two", "Three", "Four", "Five", "Six", "Seven"};

// Seven channels; the third is closed to the subscriber.
proto::ChannelListResponse sevenChannels()
{
    proto::ChannelListResponse list;
    for (int i = 0; i < 7; ++i)
        addChannel(list, i + 1, kNames[i], i != 2);
    return list;
}

QStringList displayedNames(const Model& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names.append(model.index(row).data().toString());
    return names;
}

}  // namespace

class TestChannelListModel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void noManagerNoRows();
    void listNotYetLoadedHasNoRows();
    void loadingShowsOnePlaceholderRow();
    void loadedListHasOneRowPerVisibleChannel();
    void hiddenClosedChannelsLeaveTheRows();
    void channelsAndTheirIndexes();

    void namesWithoutNumbers();
    void numbersRightAlignedInFivePlaces_data();
    void numbersRightAlignedInFivePlaces();
    void decorationIsTheChannelsIcon();
    void plainRowLooks();

    void currentChannelLooks();
    void selectChannelAnnouncesOldAndNewRow();
    void followsTheManagersCurrentChannel();
    void attachingTakesTheManagersCurrentChannel();

    void resetsOnTheManagersSignals_data();
    void resetsOnTheManagersSignals();
    void showNumbersResetsOnlyOnChange();
    void refreshesEverySecond();
    void detachingStopsTheRefresh();
    void replacedManagerIsNoLongerHeard();

private:
    void loadSeven(ChannelManager& manager);

    std::unique_ptr<TemporaryProfile> m_profile;
    proto::ChannelListResponse m_list;
};

void TestChannelListModel::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_list = sevenChannels();
}

void TestChannelListModel::cleanup()
{
    Settings::destroy();
    m_profile.reset();
}

void TestChannelListModel::loadSeven(ChannelManager& manager)
{
    manager.loadFrom({&m_list});
}

// ---- rows ------------------------------------------------------------------

void TestChannelListModel::noManagerNoRows()
{
    Model model;
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.isLoading());
    QVERIFY(!model.indexOf(nullptr).isValid());
}

void TestChannelListModel::listNotYetLoadedHasNoRows()
{
    ChannelManager manager;
    Model model;
    model.setChannelManager(&manager);
    QCOMPARE(model.rowCount(), 0);
}

void TestChannelListModel::loadingShowsOnePlaceholderRow()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    manager.load();

    QVERIFY(model.isLoading());
    QCOMPARE(model.rowCount(), 1);
    const QModelIndex row = model.index(0);
    QCOMPARE(row.data().toString(), QStringLiteral("Loading channels..."));
    const QFont font = row.data(Qt::FontRole).value<QFont>();
    QVERIFY(font.italic());
    QCOMPARE(font.family(), QStringLiteral("Arial"));
    QCOMPARE(font.pointSize(), 12);
    QVERIFY(!row.data(Qt::DecorationRole).isValid());
    QVERIFY(!model.channel(row));
    QVERIFY(!model.indexOf(manager.channelAt(0)).isValid());
}

void TestChannelListModel::loadedListHasOneRowPerVisibleChannel()
{
    ChannelManager manager;
    Model model;
    model.setChannelManager(&manager);
    manager.load();
    loadSeven(manager);

    QVERIFY(!model.isLoading());
    QCOMPARE(model.rowCount(), 7);
    QCOMPARE(displayedNames(model),
             QStringList({"One", "Two", "Three", "Four", "Five", "Six", "Seven"}));
    QCOMPARE(model.rowCount(model.index(0)), 0);
}

void TestChannelListModel::hiddenClosedChannelsLeaveTheRows()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    manager.setShowCloseChannel(false);

    QCOMPARE(model.rowCount(), 6);
    QCOMPARE(model.channel(model.index(2))->name(), QStringLiteral("Four"));
    QCOMPARE(model.index(2).data().toString(), QStringLiteral("Four"));
}

void TestChannelListModel::channelsAndTheirIndexes()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    Channel* closed = manager.channelAt(2);

    QCOMPARE(model.channel(model.index(4)), manager.channelAt(4));
    QCOMPARE(model.indexOf(manager.channelAt(4)).row(), 4);
    QCOMPARE(model.indexOf(closed).row(), 2);
    QVERIFY(!model.channel(QModelIndex()));
    QVERIFY(!model.indexOf(nullptr).isValid());

    manager.setShowCloseChannel(false);
    QVERIFY(!model.indexOf(closed).isValid());
    QCOMPARE(model.indexOf(manager.channelAt(4)).row(), 4);
}

// ---- what a row shows ------------------------------------------------------

void TestChannelListModel::namesWithoutNumbers()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    QVERIFY(!model.showNumbers());
    QCOMPARE(model.index(6).data().toString(), QStringLiteral("Seven"));
}

void TestChannelListModel::numbersRightAlignedInFivePlaces_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("label");
    QTest::newRow("first") << 0 << "    1 One";
    QTest::newRow("seventh") << 6 << "    7 Seven";
}

void TestChannelListModel::numbersRightAlignedInFivePlaces()
{
    QFETCH(int, row);
    QFETCH(QString, label);
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    model.setShowNumbers(true);
    QCOMPARE(model.index(row).data().toString(), label);
}

void TestChannelListModel::decorationIsTheChannelsIcon()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    const QPixmap icon = model.index(1).data(Qt::DecorationRole).value<QPixmap>();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.toImage(), manager.channelAt(1)->icon().toImage());
}

void TestChannelListModel::plainRowLooks()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    const QModelIndex row = model.index(3);
    const QFont font = row.data(Qt::FontRole).value<QFont>();
    QCOMPARE(font.family(), QStringLiteral("Arial"));
    QCOMPARE(font.pointSize(), 12);
    QVERIFY(!font.bold());
    QVERIFY(!font.italic());
    QVERIFY(!row.data(Qt::BackgroundRole).isValid());
    QCOMPARE(row.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::black));
}

// ---- the current channel ---------------------------------------------------

void TestChannelListModel::currentChannelLooks()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    model.selectChannel(manager.channelAt(4));

    const QModelIndex current = model.index(4);
    QVERIFY(model.isCurrent(current));
    QVERIFY(current.data(Qt::FontRole).value<QFont>().bold());
    QCOMPARE(current.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(122, 193, 66));
    QCOMPARE(current.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::white));

    const QModelIndex other = model.index(3);
    QVERIFY(!model.isCurrent(other));
    QVERIFY(!other.data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!other.data(Qt::BackgroundRole).isValid());
}

void TestChannelListModel::selectChannelAnnouncesOldAndNewRow()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    model.selectChannel(manager.channelAt(1));

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.selectChannel(manager.channelAt(5));
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 1);
    QCOMPARE(changed.at(0).at(1).value<QModelIndex>().row(), 1);
    QCOMPARE(changed.at(1).at(0).value<QModelIndex>().row(), 5);
    QCOMPARE(model.currentChannel(), manager.channelAt(5));
    QVERIFY(!model.isCurrent(model.index(1)));

    changed.clear();
    model.selectChannel(nullptr);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 5);
    QVERIFY(!model.isCurrent(model.index(5)));
}

void TestChannelListModel::followsTheManagersCurrentChannel()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    manager.setCurrentChannel(manager.channelAt(6));
    QCOMPARE(model.currentChannel(), manager.channelAt(6));
    QCOMPARE(changed.count(), 1);
    QVERIFY(model.index(6).data(Qt::FontRole).value<QFont>().bold());

    manager.clear();
    QVERIFY(!model.currentChannel());
}

void TestChannelListModel::attachingTakesTheManagersCurrentChannel()
{
    ChannelManager manager;
    loadSeven(manager);
    manager.setCurrentChannel(manager.channelAt(3));
    Model model;
    model.setChannelManager(&manager);
    QVERIFY(model.isCurrent(model.index(3)));
}

// ---- resets ----------------------------------------------------------------

void TestChannelListModel::resetsOnTheManagersSignals_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("load started") << "load";
    QTest::newRow("load failed") << "fail";
    QTest::newRow("channel list changed") << "hide closed";
}

void TestChannelListModel::resetsOnTheManagersSignals()
{
    QFETCH(QString, trigger);
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    if (trigger == "fail")
        manager.load();

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    if (trigger == "load") {
        manager.load();
    } else if (trigger == "fail") {
        QVERIFY(QMetaObject::invokeMethod(&manager, "iptvServerError"));
        QCOMPARE(model.rowCount(), 0);
    } else {
        manager.setShowCloseChannel(false);
    }
    QCOMPARE(reset.count(), 1);
}

void TestChannelListModel::showNumbersResetsOnlyOnChange()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    model.setShowNumbers(true);
    QCOMPARE(reset.count(), 1);
    model.setShowNumbers(true);
    QCOMPARE(reset.count(), 1);
    model.setShowNumbers(false);
    QCOMPARE(reset.count(), 2);
}

void TestChannelListModel::refreshesEverySecond()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    const QTimer* timer = model.findChild<QTimer*>();
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QVERIFY(reset.wait(3000));
    QCOMPARE(model.rowCount(), 7);
}

void TestChannelListModel::detachingStopsTheRefresh()
{
    ChannelManager manager;
    loadSeven(manager);
    Model model;
    model.setChannelManager(&manager);
    model.setChannelManager(nullptr);

    QVERIFY(!model.findChild<QTimer*>()->isActive());
    QCOMPARE(model.rowCount(), 0);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    manager.load();
    QCOMPARE(reset.count(), 0);
}

void TestChannelListModel::replacedManagerIsNoLongerHeard()
{
    ChannelManager first;
    ChannelManager second;
    loadSeven(first);
    Model model;
    model.setChannelManager(&first);
    model.setChannelManager(&second);

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    first.setCurrentChannel(first.channelAt(0));
    first.load();
    QCOMPARE(reset.count(), 0);
    QVERIFY(!model.currentChannel());
    QVERIFY(!model.isLoading());

    second.load();
    QCOMPARE(reset.count(), 1);
    QVERIFY(model.isLoading());
}

QTEST_MAIN(TestChannelListModel)
#include "tst_channellistmodel.moc"
