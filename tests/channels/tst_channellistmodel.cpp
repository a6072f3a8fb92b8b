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

#include <functional>
#include <memory>

using ChannelList::Model;
using namespace GuideAnswers;

namespace {

// Seven channels; the third is closed to the subscriber.
proto::ChannelListResponse sevenChannels()
{
    proto::ChannelListResponse list;
    const char* const names[] = {"One", "Two", "Three", "Four", "Five", "Six", "Seven"};
    for (int i = 0; i < 7; ++i)
        addChannel(list, i + 1, names[i], i != 2);
    return list;
}

QFont listFont(bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Arial"), 12);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

}  // namespace

class TestChannelListModel : public QObject
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

private:
    std::unique_ptr<TemporaryProfile> m_profile;
    proto::ChannelListResponse m_list;
    std::unique_ptr<ChannelManager> m_manager;
    std::unique_ptr<Model> m_model;
};

void TestChannelListModel::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_list = sevenChannels();
    m_manager = std::make_unique<ChannelManager>();
    m_manager->loadFrom({&m_list});
    m_model = std::make_unique<Model>();
    m_model->setChannelManager(m_manager.get());
}

void TestChannelListModel::cleanup()
{
    m_model.reset();
    m_manager.reset();
    Settings::destroy();
    m_profile.reset();
}

void TestChannelListModel::rowData_data()
{
    QTest::addColumn<QString>("state");  // "", "numbers", "current" (row 4) or "loading"
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("value");
    const auto add = [](const char* name, const char* state, int row, int role, QVariant value) {
        QTest::newRow(name) << state << row << role << value;
    };
    add("name", "", 6, Qt::DisplayRole, "Seven");
    add("first number", "numbers", 0, Qt::DisplayRole, "    1 One");
    add("seventh number", "numbers", 6, Qt::DisplayRole, "    7 Seven");
    add("font", "", 3, Qt::FontRole, listFont());
    add("no background", "", 3, Qt::BackgroundRole, QVariant());
    add("black text", "", 3, Qt::ForegroundRole, QBrush(Qt::black));
    add("current font", "current", 4, Qt::FontRole, listFont(true));
    add("current background", "current", 4, Qt::BackgroundRole, QBrush(QColor(122, 193, 66)));
    add("current text", "current", 4, Qt::ForegroundRole, QBrush(Qt::white));
    add("beside the current", "current", 3, Qt::FontRole, listFont());
    add("placeholder", "loading", 0, Qt::DisplayRole, "Loading channels...");
    add("placeholder font", "loading", 0, Qt::FontRole, listFont(false, true));
    add("placeholder icon", "loading", 0, Qt::DecorationRole, QVariant());
}

void TestChannelListModel::rowData()
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

void TestChannelListModel::rowsFollowTheManagersList()
{
    Model detached;
    QCOMPARE(detached.rowCount(), 0);
    ChannelManager notLoaded;
    detached.setChannelManager(&notLoaded);
    QCOMPARE(detached.rowCount(), 0);

    QCOMPARE(m_model->rowCount(), 7);
    QCOMPARE(m_model->channel(m_model->index(4)), m_manager->channelAt(4));
    QCOMPARE(m_model->indexOf(m_manager->channelAt(4)).row(), 4);
    const QPixmap icon = m_model->index(1).data(Qt::DecorationRole).value<QPixmap>();
    QVERIFY(!icon.isNull());
    QCOMPARE(icon.toImage(), m_manager->channelAt(1)->icon().toImage());

    Channel* closed = m_manager->channelAt(2);
    m_manager->setShowCloseChannel(false);
    QCOMPARE(m_model->rowCount(), 6);
    QCOMPARE(m_model->index(2).data().toString(), QStringLiteral("Four"));
    QVERIFY(!m_model->indexOf(closed).isValid());

    m_manager->load();
    QCOMPARE(m_model->rowCount(), 1);
    QVERIFY(!m_model->channel(m_model->index(0)));
    QVERIFY(!m_model->indexOf(m_manager->channelAt(0)).isValid());
}

// Only the rows that change look are announced: the old current and the new.
void TestChannelListModel::currentChannelIsAnnouncedByRow()
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

void TestChannelListModel::resetsWhenTheListMayHaveChanged_data()
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

void TestChannelListModel::resetsWhenTheListMayHaveChanged()
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

void TestChannelListModel::refreshesEverySecondWhileAttached()
{
    const QTimer* timer = m_model->findChild<QTimer*>();
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1000);
    QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
    QVERIFY(reset.wait(3000));
    QCOMPARE(m_model->rowCount(), 7);

    m_model->setChannelManager(nullptr);
    QVERIFY(!timer->isActive());
    QCOMPARE(m_model->rowCount(), 0);
}

QTEST_MAIN(TestChannelListModel)
#include "tst_channellistmodel.moc"
