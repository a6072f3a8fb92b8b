// The channel list beside the video (model, painted rows, view) and the settings
// dialog's lists of the user's own order, over list.txtpb in a channel manager.

#include "channel.h"
#include "channeldata.h"
#include "channellistbuilder.h"
#include "channellistdelegate.h"
#include "channellistmodel.h"
#include "channellistview.h"
#include "channelmanager.h"
#include "customchannellist.h"
#include "fixedclock.h"
#include "temporaryprofile.h"

#include "channel.pb.h"

#include <QDir>
#include <QPainter>
#include <QSignalSpy>
#include <QTimer>

#include <functional>

using ChannelList::Delegate;
using ChannelList::Model;
using namespace ChannelData;

namespace {

const int kChannels = 40;
enum Row { News, Plain, Closed };

QStringList namesOf(const QList<Channel*>& channels)
{
    QStringList names;
    for (const Channel* channel : channels)
        names.append(channel->name());
    return names;
}

QPoint centreOfRow(const QAbstractItemView& view, int row)
{
    return view.visualRect(view.model()->index(row, 0)).center();
}

// The row painted into a larger image of a colour it does not use, so that
// the picture shows what was painted outside the row too.
QImage paint(const QModelIndex& index, int width)
{
    const QPoint origin(10, 20);
    const Delegate delegate;
    const int height = delegate.sizeHint({}, index).height();
    QImage image(width + 2 * origin.x(), height + 2 * origin.y(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(origin, QSize(width, height));
    option.palette.setColor(QPalette::Base, Qt::white);
    option.palette.setColor(QPalette::AlternateBase, QColor(200, 220, 255));
    option.palette.setColor(QPalette::Text, Qt::black);
    delegate.paint(&painter, option, index);
    return image;
}

}  // namespace

class TestChannelViews : public QObject
{
    Q_OBJECT

    std::unique_ptr<TemporaryProfile> m_profile;
    std::unique_ptr<FixedClock> m_clock;
    proto::ChannelListResponse m_list;
    ScriptedGuard m_guard;
    std::unique_ptr<ChannelManager> m_manager;
    std::unique_ptr<Model> m_model;
    std::unique_ptr<ChannelList::View> m_view;
    QList<Channel*> m_custom;  // the first four channels

    bool showView()
    {
        m_view = std::make_unique<ChannelList::View>();
        m_view->setChannelManager(m_manager.get());
        m_view->resize(240, 5 * Delegate::kRowHeight);
        m_view->show();
        return QTest::qWaitForWindowExposed(m_view.get());
    }

private slots:
    void init()
    {
        m_profile = std::make_unique<TemporaryProfile>();
        m_clock = std::make_unique<FixedClock>(1700004000);
        m_list = answer<proto::ChannelListResponse>("list.txtpb");
        m_list.mutable_list(News)->set_icon(read("red.png").toStdString());
        m_guard = {};
        m_manager = std::make_unique<ChannelManager>();
        m_manager->loadFrom({&m_list});
        m_manager->setChannelChangeGuard(&m_guard);
        m_model = std::make_unique<Model>();
        m_model->setChannelManager(m_manager.get());
        // News is watched an hour back; its row shows that moment only while current.
        m_manager->channelAt(News)->selectOffset(0);
        m_custom = m_manager->GetChannelsList()->mid(0, 4);
    }

    void cleanup()
    {
        m_view.reset();
        m_model.reset();
        m_manager.reset();
        m_clock.reset();
        Settings::destroy();
        m_profile.reset();
    }

    // ---- the channel list's model

    void rowTexts_data() { addCases("views.json", "row texts"); }
    void rowTexts()
    {
        QFETCH(QJsonObject, c);
        m_model->setShowNumbers(c["numbers"].toBool());
        if (c["loading"].toBool())
            m_manager->load();
        QCOMPARE(m_model->index(c["row"].toInt()).data().toString(), c["text"].toString());
    }

    void currentRowAndPlaceholderStandOut()
    {
        m_manager->setCurrentChannel(m_manager->channelAt(4));
        const auto look = [this](int row) {
            const QModelIndex index = m_model->index(row);
            return QVariantList{index.data(Qt::FontRole).value<QFont>().bold(),
                                index.data(Qt::BackgroundRole), index.data(Qt::ForegroundRole)};
        };
        QCOMPARE(look(4),
                 QVariantList({true, QBrush(Model::currentBackground()), QBrush(Qt::white)}));
        QCOMPARE(look(3), QVariantList({false, QVariant(), QBrush(Qt::black)}));

        m_manager->load();
        QVERIFY(m_model->index(0).data(Qt::FontRole).value<QFont>().italic());
        QVERIFY(!m_model->index(0).data(Qt::DecorationRole).isValid());
    }

    void rowsFollowTheManagersList()
    {
        Model overNothingLoaded;
        ChannelManager notLoaded;
        overNothingLoaded.setChannelManager(&notLoaded);
        QCOMPARE(overNothingLoaded.rowCount(), 0);

        QCOMPARE(m_model->rowCount(), kChannels);
        QCOMPARE(m_model->channel(m_model->index(4)), m_manager->channelAt(4));
        QCOMPARE(m_model->indexOf(m_manager->channelAt(4)).row(), 4);
        const QPixmap icon = m_model->index(Plain).data(Qt::DecorationRole).value<QPixmap>();
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.toImage(), m_manager->channelAt(Plain)->icon().toImage());

        Channel* closed = m_manager->channelAt(Closed);
        m_manager->setShowCloseChannel(false);
        QCOMPARE(m_model->rowCount(), kChannels - 1);
        QCOMPARE(m_model->channel(m_model->index(Closed))->id(), 4);
        QVERIFY(!m_model->indexOf(closed).isValid());

        m_manager->load();
        QCOMPARE(m_model->rowCount(), 1);
        QVERIFY(!m_model->channel(m_model->index(0)));
        QVERIFY(!m_model->indexOf(m_manager->channelAt(0)).isValid());
    }

    // Only the rows that change look are announced: the old current and the new.
    void currentChannelIsAnnouncedByRow()
    {
        QSignalSpy changed(m_model.get(), &QAbstractItemModel::dataChanged);
        m_manager->setCurrentChannel(m_manager->channelAt(1));
        m_model->selectChannel(m_manager->channelAt(5));
        QList<int> rows;
        for (const QVariantList& arguments : changed)
            rows.append(arguments.at(0).value<QModelIndex>().row());
        QCOMPARE(rows, QList<int>({1, 1, 5}));
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

    void resetsWhenTheListMayHaveChanged_data() { addCases("views.json", "resets"); }
    void resetsWhenTheListMayHaveChanged()
    {
        QFETCH(QJsonObject, c);
        const QString before = c["before"].toString();
        ChannelManager replacement;
        if (before == "load")
            m_manager->load();
        if (before == "detach" || before == "replace")
            m_model->setChannelManager(before == "detach" ? nullptr : &replacement);
        QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
        const QHash<QString, std::function<void()>> triggers = {
            {"load", [&] { m_manager->load(); }},
            {"fail", [&] { QMetaObject::invokeMethod(m_manager.get(), "iptvServerError"); }},
            {"hide closed", [&] { m_manager->setShowCloseChannel(false); }},
            {"numbers on", [&] { m_model->setShowNumbers(true); }},
            {"numbers off", [&] { m_model->setShowNumbers(false); }},
        };
        triggers[c["trigger"].toString()]();
        QCOMPARE(reset.count(), c["resets"].toInt());
        QCOMPARE(m_model->isLoading(), c["loading"].toBool());
    }

    void refreshesEverySecondWhileAttached()
    {
        QSignalSpy reset(m_model.get(), &QAbstractItemModel::modelReset);
        QVERIFY(reset.wait(3000));
        QCOMPARE(m_model->rowCount(), kChannels);

        m_model->setChannelManager(nullptr);
        QVERIFY(!m_model->findChild<QTimer*>()->isActive());
        QCOMPARE(m_model->rowCount(), 0);
    }

    // ---- its delegate and view

    // A row that differs from its golden image is left in the artifact folder.
    void paintedRows_data() { addCases("views.json", "painted rows"); }
    void paintedRows()
    {
        QFETCH(QJsonObject, c);
        const int row = c["row"].toInt();
        if (c["loading"].toBool())
            m_manager->load();
        if (c["current"].toBool())
            m_manager->setCurrentChannel(m_manager->channelAt(row));
        m_model->setShowNumbers(c["numbers"].toBool());
        const QImage painted = paint(m_model->index(row), c["width"].toInt(300));
        const QString name = c["golden"].toString();
        if (QImage(QStringLiteral(ZENTRIA_CHANNEL_DATA "/") + name)
                .convertToFormat(painted.format()) == painted)
            return;
        const QDir artifacts(qEnvironmentVariable("ZENTRIA_ARTIFACT_DIR", QDir::tempPath()));
        QVERIFY(artifacts.mkpath("."));
        painted.save(artifacts.absoluteFilePath(name));
        QFAIL(qPrintable("painted otherwise than " + name + ", see " + artifacts.path()));
    }

    // A double click (after the click that lands on the row) or Return asks
    // the guard, which may refuse; the placeholder of a loading list offers
    // nothing.
    void choosingARowChangesTheChannel_data() { addCases("views.json", "choosing"); }
    void choosingARowChangesTheChannel()
    {
        QFETCH(QJsonObject, c);
        const bool loading = c["loading"].toBool();
        const bool allow = c["allow"].toBool(true);
        QVERIFY(showView());
        QCOMPARE(m_view->selectionMode(), QAbstractItemView::NoSelection);
        QVERIFY(qobject_cast<Delegate*>(m_view->itemDelegate()));
        m_guard.allow = allow;
        if (loading)
            m_manager->load();
        const int row = loading ? 0 : 3;
        if (c["byKey"].toBool()) {
            m_view->setCurrentIndex(m_view->model()->index(row, 0));
            QTest::keyClick(m_view.get(), Qt::Key_Return);
        } else {
            QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, centreOfRow(*m_view, row));
            QTest::mouseDClick(m_view->viewport(), Qt::LeftButton, {}, centreOfRow(*m_view, row));
        }
        Channel* chosen = loading ? nullptr : m_manager->channelAt(row);
        QCOMPARE(m_guard.asked.size(), loading ? 0 : 1);
        QVERIFY(loading || m_guard.asked.first() == qMakePair(QString(), chosen->name()));
        QCOMPARE(m_manager->currentChannel(), allow ? chosen : nullptr);
        QCOMPARE(m_view->channelModel()->isCurrent(m_view->model()->index(row, 0)),
                 allow && !loading);
    }

    void numbersAndScrollingToTheCurrentChannel()
    {
        QVERIFY(showView());
        m_view->setShowNumbers(true);
        QCOMPARE(m_view->model()->index(9, 0).data().toString(), QString("   10 Channel 10"));
        m_manager->setCurrentChannel(m_manager->channelAt(20));
        m_view->scrollToCurrentChannel();
        const int middle = m_view->viewport()->height() / 2;
        const int centre = centreOfRow(*m_view, 20).y();
        QVERIFY2(qAbs(centre - middle) <= Delegate::kRowHeight / 2,
                 qPrintable(QString("row at %1, middle %2").arg(centre).arg(middle)));
    }

    // ---- the lists of the user's own order

    void customRowsPlaceholderAndRefresh()
    {
        CustomChannelList::View view;  // without a list: no rows
        CustomChannelList::Model& model = *view.channelModel();
        QCOMPARE(view.model(), &model);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.channel(model.index(0)));
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.setChannelList(&m_custom);
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 4);
        const auto alignment = [](const QModelIndex& index) {
            return index.data(Qt::TextAlignmentRole);
        };
        const QModelIndex closed = model.index(Closed);
        QCOMPARE(closed.data().toString(), QString("Closed"));
        QCOMPARE(closed.data(Qt::DecorationRole).value<QPixmap>().toImage(),
                 m_custom.at(Closed)->icon().toImage());
        const QVariant leftAndCentred = alignment(closed);
        QCOMPARE(leftAndCentred.toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
        QCOMPARE(model.channel(closed), m_custom.at(Closed));

        QVERIFY(!view.isLoading());
        model.setLoading(true);
        model.setLoading(true);
        QCOMPARE(reset.count(), 2);
        QVERIFY(view.isLoading());
        QCOMPARE(model.rowCount(), 1);
        const QModelIndex placeholder = model.index(0);
        QCOMPARE(placeholder.data().toString(), QString("Loading data..."));
        QVERIFY(!placeholder.data(Qt::DecorationRole).isValid());
        QCOMPARE(alignment(placeholder), leftAndCentred);
        QVERIFY(!model.channel(placeholder));
        model.setLoading(false);

        const QModelIndex last = model.index(3);
        m_custom.removeFirst();  // changed behind the model's back
        QVERIFY(!last.data().isValid());
        QVERIFY(!alignment(last).isValid());
        QVERIFY(!model.channel(last));
        model.refresh();
        QCOMPARE(reset.count(), 4);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.index(0).data().toString(), QString("Plain"));
    }

    void customMove_data() { addCases("views.json", "moves"); }
    void customMove()
    {
        QFETCH(QJsonObject, c);
        CustomChannelList::Model model;
        model.setChannelList(&m_custom);
        const QStringList order = c["order"].toVariant().toStringList();
        const QStringList before = namesOf(m_custom);
        QSignalSpy moves(&model, &QAbstractItemModel::rowsMoved);
        QCOMPARE(model.moveChannel(c["from"].toInt(), c["to"].toInt()), !order.isEmpty());
        QCOMPARE(moves.count(), order.isEmpty() ? 0 : 1);
        QCOMPARE(namesOf(m_custom), order.isEmpty() ? before : order);
        QCOMPARE(model.index(1).data().toString(), namesOf(m_custom).at(1));
    }

    void customViewMovesAndAnnouncesDoubleClicks()
    {
        CustomChannelList::View view;
        view.channelModel()->setChannelList(&m_custom);
        Channel* bare = m_custom.at(3);
        view.setCurrentIndex(view.model()->index(3, 0));
        view.MoveUp();
        view.MoveUp();
        QCOMPARE(view.currentChannel(), bare);
        view.MoveUp();
        view.MoveUp();  // already at the top
        QCOMPARE(namesOf(m_custom), QStringList({"Bare", "News", "Plain", "Closed"}));
        view.MoveDown();
        QCOMPARE(namesOf(m_custom), QStringList({"News", "Bare", "Plain", "Closed"}));
        QCOMPARE(view.currentIndex().row(), 1);

        view.resize(200, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy doubleClicked(&view, &CustomChannelList::View::signalDoubleClicked);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, centreOfRow(view, 2));
        QCOMPARE(doubleClicked.count(), 0);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centreOfRow(view, 2));
        QCOMPARE(doubleClicked.count(), 1);
        QCOMPARE(view.currentChannel(), m_custom.at(2));
    }
};

QTEST_MAIN(TestChannelViews)
#include "tst_channelviews.moc"
