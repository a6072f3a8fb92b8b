#include "channel.h"
#include "customchannellist.h"
#include "guideanswers.h"

#include <QSignalSpy>
#include <QTest>

using namespace GuideAnswers;

namespace {

const char* const kNames[] = {"Alpha", "Beta", "Gamma", "Delta"};

QStringList namesOf(const QList<Channel*>& channels)
{
    QStringList names;
    for (const Channel* channel : channels)
        names.append(channel->name());
    return names;
}

}  // namespace

class TestCustomChannelList : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void oneRowPerChannelAndNoneBeyondTheList();
    void loadingShowsOnePlaceholderRow();
    void changingTheListResets();

    void moveWithinTheList_data();
    void moveWithinTheList();

    void viewWithoutAListHasNoRowsAndReportsLoading();
    void moveUpAndDownKeepTheChannelCurrent();
    void doubleClickIsAnnounced();

private:
    std::unique_ptr<CustomChannelList::Model> m_model;  // over m_channels
    proto::ChannelListResponse m_answer;
    QObject m_owner;  // parent of the channels
    QList<Channel*> m_channels;
};

void TestCustomChannelList::init()
{
    m_answer = proto::ChannelListResponse();
    for (int i = 0; i < 4; ++i)
        addChannel(m_answer, i + 1, kNames[i]);
    for (int i = 0; i < 4; ++i) {
        auto* channel = new Channel(&m_owner);
        channel->load(&m_answer, i, false);
        m_channels.append(channel);
    }
    m_model = std::make_unique<CustomChannelList::Model>();
    m_model->setChannelList(&m_channels);
}

void TestCustomChannelList::cleanup()
{
    m_model.reset();
    qDeleteAll(m_owner.children());
    m_channels.clear();
}

void TestCustomChannelList::oneRowPerChannelAndNoneBeyondTheList()
{
    CustomChannelList::Model& model = *m_model;
    QCOMPARE(model.rowCount(), 4);
    const QModelIndex gamma = model.index(2);
    QCOMPARE(gamma.data().toString(), QStringLiteral("Gamma"));
    QCOMPARE(gamma.data(Qt::DecorationRole).value<QPixmap>().toImage(),
             m_channels.at(2)->icon().toImage());
    QCOMPARE(gamma.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
    QCOMPARE(model.channel(gamma), m_channels.at(2));

    const QModelIndex last = model.index(3);
    m_channels.removeLast();  // changed behind the model's back
    QVERIFY(!last.data().isValid());
    QVERIFY(!last.data(Qt::TextAlignmentRole).isValid());
    QVERIFY(!model.channel(last));
}

void TestCustomChannelList::loadingShowsOnePlaceholderRow()
{
    CustomChannelList::Model& model = *m_model;
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setLoading(true);

    QCOMPARE(reset.count(), 1);
    QVERIFY(model.isLoading());
    QCOMPARE(model.rowCount(), 1);
    const QModelIndex row = model.index(0);
    QCOMPARE(row.data().toString(), QStringLiteral("Loading data..."));
    QVERIFY(!row.data(Qt::DecorationRole).isValid());
    QCOMPARE(row.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
    QVERIFY(!model.channel(row));

    model.setLoading(true);
    QCOMPARE(reset.count(), 1);
    model.setLoading(false);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.index(0).data().toString(), QStringLiteral("Alpha"));
}

void TestCustomChannelList::changingTheListResets()
{
    CustomChannelList::Model model;
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.setChannelList(&m_channels);
    QCOMPARE(reset.count(), 1);

    m_channels.removeFirst();
    model.refresh();
    QCOMPARE(reset.count(), 2);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.index(0).data().toString(), QStringLiteral("Beta"));
}

void TestCustomChannelList::moveWithinTheList_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QStringList>("order");
    const QStringList unchanged{"Alpha", "Beta", "Gamma", "Delta"};
    QTest::newRow("up") << 2 << 1 << true << QStringList{"Alpha", "Gamma", "Beta", "Delta"};
    QTest::newRow("down") << 1 << 2 << true << QStringList{"Alpha", "Gamma", "Beta", "Delta"};
    QTest::newRow("past the top") << 0 << -1 << false << unchanged;
    QTest::newRow("past the bottom") << 3 << 4 << false << unchanged;
}

void TestCustomChannelList::moveWithinTheList()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(bool, moved);
    QFETCH(QStringList, order);
    CustomChannelList::Model& model = *m_model;
    QSignalSpy moves(&model, &QAbstractItemModel::rowsMoved);

    QCOMPARE(model.moveChannel(from, to), moved);
    QCOMPARE(moves.count(), moved ? 1 : 0);
    QCOMPARE(namesOf(m_channels), order);
    QCOMPARE(model.index(1).data().toString(), order.at(1));
}

void TestCustomChannelList::viewWithoutAListHasNoRowsAndReportsLoading()
{
    CustomChannelList::View view;
    QCOMPARE(view.model(), view.channelModel());
    QCOMPARE(view.model()->rowCount(), 0);
    QVERIFY(!view.channelModel()->channel(view.model()->index(0, 0)));
    QVERIFY(!view.isLoading());
    view.channelModel()->setLoading(true);
    QVERIFY(view.isLoading());
}

void TestCustomChannelList::moveUpAndDownKeepTheChannelCurrent()
{
    CustomChannelList::View view;
    view.channelModel()->setChannelList(&m_channels);
    Channel* delta = m_channels.at(3);
    view.setCurrentIndex(view.model()->index(3, 0));

    view.MoveUp();
    view.MoveUp();
    QCOMPARE(namesOf(m_channels), QStringList({"Alpha", "Delta", "Beta", "Gamma"}));
    QCOMPARE(view.currentChannel(), delta);
    view.MoveUp();
    view.MoveUp();
    QCOMPARE(namesOf(m_channels), QStringList({"Delta", "Alpha", "Beta", "Gamma"}));
    view.MoveDown();
    QCOMPARE(namesOf(m_channels), QStringList({"Alpha", "Delta", "Beta", "Gamma"}));
    QCOMPARE(view.currentIndex().row(), 1);
}

void TestCustomChannelList::doubleClickIsAnnounced()
{
    CustomChannelList::View view;
    view.channelModel()->setChannelList(&m_channels);
    view.resize(200, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy doubleClicked(&view, &CustomChannelList::View::signalDoubleClicked);
    const QPoint second = view.visualRect(view.model()->index(1, 0)).center();

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(doubleClicked.count(), 0);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, second);
    QCOMPARE(doubleClicked.count(), 1);
    QCOMPARE(view.currentChannel(), m_channels.at(1));
}

QTEST_MAIN(TestCustomChannelList)
#include "tst_customchannellist.moc"
