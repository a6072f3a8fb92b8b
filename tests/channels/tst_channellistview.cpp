#include "channel.h"
#include "channelchangeguard.h"
#include "channellistbuilder.h"
#include "channellistdelegate.h"
#include "channellistmodel.h"
#include "channellistview.h"
#include "channelmanager.h"
#include "guideanswers.h"
#include "scriptedguard.h"
#include "temporaryprofile.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using ChannelList::View;
using namespace GuideAnswers;

namespace {

proto::ChannelListResponse numberedChannels(int count)
{
    proto::ChannelListResponse list;
    for (int i = 1; i <= count; ++i)
        addChannel(list, i, "Channel " + std::to_string(i));
    return list;
}

}  // namespace

class TestChannelListView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void ownModelAndDelegate();
    void activatingARowChangesTheChannel();
    void guardMayRefuseTheChange();
    void placeholderRowChangesNothing();
    void showNumbersReachesTheModel();
    void scrollsTheCurrentChannelToTheCentre();

private:
    std::unique_ptr<TemporaryProfile> m_profile;
    proto::ChannelListResponse m_list;
    std::unique_ptr<ChannelManager> m_manager;
    std::unique_ptr<View> m_view;
};

void TestChannelListView::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_list = numberedChannels(40);
    m_manager = std::make_unique<ChannelManager>();
    m_manager->loadFrom({&m_list});
    m_view = std::make_unique<View>();
    m_view->setChannelManager(m_manager.get());
}

void TestChannelListView::cleanup()
{
    m_view.reset();
    m_manager.reset();
    Settings::destroy();
    m_profile.reset();
}

void TestChannelListView::ownModelAndDelegate()
{
    QCOMPARE(m_view->model(), m_view->channelModel());
    QCOMPARE(m_view->channelModel()->parent(), m_view.get());
    QVERIFY(qobject_cast<ChannelList::Delegate*>(m_view->itemDelegate()));
    QCOMPARE(m_view->selectionMode(), QAbstractItemView::NoSelection);
    QVERIFY(m_view->uniformItemSizes());
    QCOMPARE(m_view->channelModel()->channelManager(), m_manager.get());
    QCOMPARE(m_view->model()->rowCount(), 40);
}

void TestChannelListView::activatingARowChangesTheChannel()
{
    ScriptedGuard guard;
    m_manager->setChannelChangeGuard(&guard);
    QSignalSpy changed(m_manager.get(), &ChannelManager::currentChannelChanged);

    emit m_view->activated(m_view->model()->index(3, 0));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(m_manager->currentChannel(), m_manager->channelAt(3));
    QCOMPARE(guard.asked.size(), 1);
    QCOMPARE(guard.asked.first().second, m_manager->channelAt(3));
    QVERIFY(m_view->channelModel()->isCurrent(m_view->model()->index(3, 0)));
}

void TestChannelListView::guardMayRefuseTheChange()
{
    ScriptedGuard guard;
    m_manager->setChannelChangeGuard(&guard);
    m_view->changeChannel(m_view->model()->index(1, 0));
    guard.allow = false;
    QSignalSpy changed(m_manager.get(), &ChannelManager::currentChannelChanged);

    m_view->changeChannel(m_view->model()->index(5, 0));
    QCOMPARE(guard.asked.size(), 2);
    QCOMPARE(guard.asked.last(), qMakePair(m_manager->channelAt(1), m_manager->channelAt(5)));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_manager->currentChannel(), m_manager->channelAt(1));
}

void TestChannelListView::placeholderRowChangesNothing()
{
    m_manager->load();
    QSignalSpy changed(m_manager.get(), &ChannelManager::currentChannelChanged);
    m_view->changeChannel(m_view->model()->index(0, 0));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!m_manager->currentChannel());
}

void TestChannelListView::showNumbersReachesTheModel()
{
    m_view->setShowNumbers(true);
    QCOMPARE(m_view->model()->index(9, 0).data().toString(), QStringLiteral("   10 Channel 10"));
}

void TestChannelListView::scrollsTheCurrentChannelToTheCentre()
{
    m_view->resize(240, 5 * ChannelList::Delegate::kRowHeight);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    m_manager->setCurrentChannel(m_manager->channelAt(20));

    m_view->scrollToCurrentChannel();
    const QRect row = m_view->visualRect(m_view->model()->index(20, 0));
    const int viewportMiddle = m_view->viewport()->height() / 2;
    QVERIFY2(qAbs(row.center().y() - viewportMiddle) <= ChannelList::Delegate::kRowHeight / 2,
             qPrintable(QString("row at %1, middle %2").arg(row.center().y()).arg(viewportMiddle)));
}

QTEST_MAIN(TestChannelListView)
#include "tst_channellistview.moc"
