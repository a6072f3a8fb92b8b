#include "../channels/guideanswers.h"
#include "../support/tablerows.h"
#include "../support/temporaryprofile.h"
#include "channel.h"
#include "customfilesystemmodel.h"
#include "dirview.h"
#include "messageboxes.h"
#include "recordtablefile.h"
#include "recordtablemanager.h"
#include "scheduledrecordlistwidget.h"
#include "telecast.h"

#include <QMenu>
#include <QSignalSpy>
#include <QToolButton>

namespace {
QStringList columnTexts(const QAbstractItemModel& model, int column = 0)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

// Entries ending in "/" become folders.
void makeEntries(const QString& folder, const QStringList& names)
{
    for (const QString& name : names) {
        QFile file(folder + '/' + name);
        QVERIFY(name.endsWith('/') ? QDir().mkpath(file.fileName())
                                   : file.open(QIODevice::WriteOnly));
    }
}
}  // namespace

class RecordingsBrowser : public QObject
{
    Q_OBJECT
private slots:
    void sizeText_data() { addTableRows(QFINDTESTDATA("../data/ui/recordings-sizes.txt")); }
    void sizeText()
    {
        QFETCH(QString, bytes);
        QFETCH(QString, text);
        QCOMPARE(CustomFileSystemModel::sizeText(bytes.toLongLong()), text);
    }

    void folderListsFoldersFirstThenMatchingFiles_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/recordings-folders.txt"));
    }
    void folderListsFoldersFirstThenMatchingFiles()
    {
        QFETCH(QString, entries);
        QFETCH(QString, rows);
        QTemporaryDir folder;
        const bool missing = entries == "-";
        if (!missing)
            makeEntries(folder.path(), entries.split(' ', Qt::SkipEmptyParts));
        CustomFileSystemModel model;
        model.setNameFilters({"*.mpg", "*.ts"});
        QSignalSpy pathChanged(&model, &CustomFileSystemModel::pathChanged);
        model.setPath(folder.path() + (missing ? "/missing" : ""));
        QCOMPARE(columnTexts(model).join(' '), rows);
        QCOMPARE(pathChanged.count(), 1);
    }

    // A walk by keyboard and mouse: into a folder and back, files play, the
    // context menu removes files only, and ".." leads up to the drive list.
    void browserPlaysRemovesAndWalksUpToTheDrives()
    {
        QTemporaryDir folder;
        makeEntries(folder.path(), {"sub/", "a.mpg", "b.mpg"});
        QVERIFY(QFile(folder.path() + "/b.mpg").resize(1536));
        DirView view;
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        CustomFileSystemModel& model = *view.fileSystemModel();
        model.setNameFilters({"*.mpg"});
        model.setPath(folder.path());
        QCOMPARE(columnTexts(model, 1), QStringList({"", "", "0", "1.5 k"}));
        const auto press = [&](int row, Qt::Key key) {
            view.setCurrentIndex(model.index(row, 0));
            QTest::keyClick(&view, key);
        };
        press(1, Qt::Key_Return);
        QCOMPARE(columnTexts(model), QStringList(".."));
        press(0, Qt::Key_Return);
        QCOMPARE(view.currentIndex().row(), 1);

        QSignalSpy played(&view, &DirView::fileActivated);
        press(2, Qt::Key_Return);
        // A double click as the platform sends it: press, release, double click.
        const QPoint b = view.visualRect(model.index(3, 0)).center();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, b);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, b);
        QCOMPARE(played,
                 QList<QVariantList>({{folder.path() + "/a.mpg"}, {folder.path() + "/b.mpg"}}));

        auto* menu = view.findChild<QMenu*>();
        const auto menuOnRow = [&](int row) {
            view.setCurrentIndex(model.index(row, 0));
            QContextMenuEvent event(QContextMenuEvent::Keyboard, {5, 5}, QPoint(5, 5));
            QCoreApplication::sendEvent(view.viewport(), &event);
            const bool shown = menu->isVisible();
            menu->hide();
            return shown;
        };
        QCOMPARE(QList<bool>({menuOnRow(0), menuOnRow(1), menuOnRow(2)}),
                 QList<bool>({false, false, true}));
        menu->actions().first()->trigger();
        QCOMPARE(columnTexts(model), QStringList({"..", "sub", "b.mpg"}));
        QStringList boxes;
        MessageBoxes::setPresenter(
            [&](MessageBoxes::Kind, const QString& title, const QString& text) {
                return boxes << title + ": " + text, true;
            });
        view.setCurrentIndex(model.index(2, 0));
        QVERIFY(QFile::remove(folder.path() + "/b.mpg"));
        menu->actions().first()->trigger();
        MessageBoxes::setPresenter({});
        QCOMPARE(boxes, QStringList("Error: Cannot remove this file!"));

        for (int step = 0; step < 32 && model.path() != "/"; ++step)
            press(0, Qt::Key_Return);
        QStringList drives;
        for (const QFileInfo& drive : QDir::drives())
            drives << drive.absoluteFilePath();
        QCOMPARE(columnTexts(model), drives);
    }

    void cancellingTheMiddleTelecastRenumbersTheButtons()
    {
        TemporaryProfile profile;
        proto::ChannelListResponse answer;
        GuideAnswers::addChannel(answer, 7, "News");
        Channel channel;
        channel.load(&answer, 0, false);
        const int start = 1900000000;
        Telecast orphan;
        QList<Telecast*> telecasts = {new Telecast(&channel), &orphan, new Telecast(&channel)};
        const QStringList names = {"first", "", "third"};
        RecordTableManager* table = RecordTableManager::instance();
        for (int i = 0; i < 3; ++i) {
            telecasts[i]->setTitle(names[i]);
            telecasts[i]->setStart(start + i * 3600);
            telecasts[i]->setStop(start + i * 3600 + 1800);
            QVERIFY(table->add(telecasts[i], true));
        }
        ScheduledRecordListWidget list;
        list.setRecordTableManager(table);
        const auto titles = [&] { return columnTexts(*list.model(), 1).join(", "); };
        const auto button = [&](int row) {
            return qobject_cast<QToolButton*>(list.cellWidget(row, 3));
        };
        QCOMPARE(columnTexts(*list.model()), QStringList({"News", "<Unknown>", "News"}));
        QCOMPARE(titles(), QString("first, <Unknown>, third"));
        QVERIFY(!list.item(0, 0)->icon().isNull() && list.item(1, 0)->icon().isNull());
        QCOMPARE(list.item(2, 2)->text(), RecordTableFile::formatStart(start + 7200));
        QCOMPARE(button(1)->toolTip(), QString("Cancel telecast recording"));

        button(1)->click();
        QCOMPARE(titles(), QString("first, third"));
        button(1)->click();
        QCOMPARE(titles(), QString("first"));
        button(0)->click();
        QCOMPARE(table->count(), 0);
    }
};

QTEST_MAIN(RecordingsBrowser)
#include "tst_recordingsbrowser.moc"
