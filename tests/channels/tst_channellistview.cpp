#include "channel.h"
#include "channellistbuilder.h"
#include "channellistdelegate.h"
#include "channellistmodel.h"
#include "channellistview.h"
#include "channelmanager.h"
#include "guideanswers.h"
#include "scriptedguard.h"
#include "temporaryprofile.h"

#include <QTest>

#include <memory>

using ChannelList::View;

class TestChannelListView : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void choosingARowChangesTheChannel_data();
    void choosingARowChangesTheChannel();
    void guardMayRefuseTheChange();
    void placeholderRowChangesNothing();
    void rowsArePaintedWithNumbersAndNoSelection();
    void scrollsTheCurrentChannelToTheCentre();

private:
    QPoint centreOfRow(int row) const;
    void doubleClickRow(int row);

    std::unique_ptr<TemporaryProfile> m_profile;
    proto::ChannelListResponse m_list;
    std::unique_ptr<ChannelManager> m_manager;
    ScriptedGuard m_guard;
    std::unique_ptr<View> m_view;
};

void TestChannelListView::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_list = {};
    for (int i = 1; i <= 40; ++i)
        GuideAnswers::addChannel(m_list, i, "Channel " + std::to_string(i));
    m_manager = std::make_unique<ChannelManager>();
    m_manager->loadFrom({&m_list});
    m_guard = {};
    m_manager->setChannelChangeGuard(&m_guard);
    m_view = std::make_unique<View>();
    m_view->setChannelManager(m_manager.get());
    m_view->resize(240, 5 * ChannelList::Delegate::kRowHeight);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
}

void TestChannelListView::cleanup()
{
    m_view.reset();
    m_manager.reset();
    Settings::destroy();
    m_profile.reset();
}

QPoint TestChannelListView::centreOfRow(int row) const
{
    return m_view->visualRect(m_view->model()->index(row, 0)).center();
}

// Like a user: the first click lands on the row, the second one double-clicks.
void TestChannelListView::doubleClickRow(int row)
{
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, centreOfRow(row));
    QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, centreOfRow(row));
}

// A double click or Return on a row asks the guard, then makes it current.
void TestChannelListView::choosingARowChangesTheChannel_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("double click") << false;
    QTest::newRow("Return") << true;
}

void TestChannelListView::choosingARowChangesTheChannel()
{
    QFETCH(bool, byKey);
    Channel* chosen = m_manager->channelAt(3);
    if (byKey) {
        m_view->setCurrentIndex(m_view->model()->index(3, 0));
        QTest::keyClick(m_view.get(), Qt::Key_Return);
    } else {
        doubleClickRow(3);
    }
    QCOMPARE(m_guard.asked, (QList<QPair<Channel*, Channel*>>{{nullptr, chosen}}));
    QCOMPARE(m_manager->currentChannel(), chosen);
    QVERIFY(m_view->channelModel()->isCurrent(m_view->model()->index(3, 0)));
}

void TestChannelListView::guardMayRefuseTheChange()
{
    m_view->changeChannel(m_view->model()->index(1, 0));
    m_guard.allow = false;
    doubleClickRow(4);
    QCOMPARE(m_guard.asked.size(), 2);
    QCOMPARE(m_manager->currentChannel(), m_manager->channelAt(1));
}

void TestChannelListView::placeholderRowChangesNothing()
{
    m_manager->load();
    doubleClickRow(0);
    QVERIFY(m_guard.asked.isEmpty());
    QVERIFY(!m_manager->currentChannel());
}

void TestChannelListView::rowsArePaintedWithNumbersAndNoSelection()
{
    QVERIFY(qobject_cast<ChannelList::Delegate*>(m_view->itemDelegate()));
    QCOMPARE(m_view->selectionMode(), QAbstractItemView::NoSelection);
    m_view->setShowNumbers(true);
    QCOMPARE(m_view->model()->index(9, 0).data().toString(), QStringLiteral("   10 Channel 10"));
}

void TestChannelListView::scrollsTheCurrentChannelToTheCentre()
{
    m_manager->setCurrentChannel(m_manager->channelAt(20));
    m_view->scrollToCurrentChannel();
    const int middle = m_view->viewport()->height() / 2;
    QVERIFY2(qAbs(centreOfRow(20).y() - middle) <= ChannelList::Delegate::kRowHeight / 2,
             qPrintable(QString("row at %1, middle %2").arg(centreOfRow(20).y()).arg(middle)));
}

QTEST_MAIN(TestChannelListView)
#include "tst_channellistview.moc"
