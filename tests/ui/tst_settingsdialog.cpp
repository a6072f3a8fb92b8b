#include "channel.h"
#include "customchannellist.h"
#include "emulatorprocess.h"
#include "settings.h"
#include "settingsdialog.h"
#include "tablerows.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

// The dialog over a profile of its own; the user channel lists against the
// operator emulator.
class TestSettingsDialog : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_profile = std::make_unique<TemporaryProfile>(); }
    void cleanup();
    void acceptStores_data() { addTableRows(QFINDTESTDATA("../data/ui/settings-accept.txt")); }
    void acceptStores();
    void cancelStoresNothing();
    void userListsLoadOnceRetryAfterAnErrorAndAreSaved();

private:
    // A dialog on the profile, whose settings.ini holds the lines.
    SettingsDialog* openOn(const QString& lines, TTVServerManager* server = nullptr);
    void click(const QString& boxes);

    std::unique_ptr<TemporaryProfile> m_profile;
    std::unique_ptr<SettingsDialog> m_dialog;
};

SettingsDialog* TestSettingsDialog::openOn(const QString& lines, TTVServerManager* server)
{
    m_profile->writeIni("[General]\n" + lines.split(';').join('\n').toUtf8() + '\n');
    Settings::destroy();
    m_dialog =
        std::make_unique<SettingsDialog>(nullptr, MainWindow::IptvMode, nullptr, nullptr, server);
    m_dialog->show();
    return m_dialog.get();
}

void TestSettingsDialog::cleanup()
{
    m_dialog.reset();
    Settings::destroy();
    m_profile.reset();
}

void TestSettingsDialog::click(const QString& boxes)
{
    for (const QString& name : boxes.split(';', Qt::SkipEmptyParts))
        m_dialog->findChild<QCheckBox*>(name)->click();
}

void TestSettingsDialog::acceptStores()
{
    QFETCH(QString, stored);
    QFETCH(QString, clicked);
    QFETCH(QString, saved);
    openOn(stored);
    click(clicked);
    m_dialog->accept();
    const QString ini = QString::fromUtf8(m_profile->readIni());
    for (const QString& line : saved.split(';'))
        QVERIFY2(
            ini.contains(QRegularExpression("(^|\n)" + QRegularExpression::escape(line) + "\n")),
            qPrintable(ini));
}

void TestSettingsDialog::cancelStoresNothing()
{
    openOn("deinterlace=linear;show-user-channels=false");
    const QByteArray before = m_profile->readIni();
    click("doDeinterlace;useUserChannels;closeToTray;displayChannelNumbers");
    m_dialog->reject();
    QCOMPARE(m_profile->readIni(), before);
}

// The first request fails, and opening the tab again asks once more; a tab
// opened on loaded lists does not. A channel moved to the user's list is sent
// with it in the user's order.
void TestSettingsDialog::userListsLoadOnceRetryAfterAnErrorAndAreSaved()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.start(QFINDTESTDATA("../data/ui/user-channels.json")));
    TTVServerManager server;
    SettingsDialog* dialog = openOn("show-user-channels=true;server=" + emulator.host(), &server);
    QVERIFY(server.init());
    server.setMac("AABBCCDDEEFF");
    QSignalSpy loggedIn(&server, &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    server.authorize();
    QVERIFY(loggedIn.wait());
    auto* tabs = dialog->findChild<QTabWidget*>("tabWidget");
    auto* available = dialog->findChild<CustomChannelList::View*>("srcChannelList");
    auto* user = dialog->findChild<CustomChannelList::View*>("dstChannelList");
    const auto openTab = [&] { tabs->setCurrentIndex(0), tabs->setCurrentIndex(2); };

    QSignalSpy failed(&server, &TTVServerManager::ErrorLoadUserChannelList);
    openTab();
    QVERIFY(failed.wait());
    QCOMPARE(available->model()->rowCount(), 0);
    QSignalSpy loaded(&server, &TTVServerManager::LoadUserChannelListCompleted);
    openTab();
    QVERIFY(loaded.wait());
    QCOMPARE(user->currentChannel()->id(), 3);
    QCOMPARE(available->model()->rowCount(), 2);
    openTab();
    QCOMPARE(emulator.requests("GetUserChannel").size(), 2);

    available->setCurrentIndex(available->model()->index(0, 0));
    dialog->findChild<QPushButton*>("moveChannelRight")->click();
    QCOMPARE(dialog->findChild<QLabel*>("userInfo")->text(),
             "You must restart player to apply changes for user channels!");
    dialog->accept();
    QTRY_COMPARE(emulator.requests("SetUserChannel").size(), 1);
    QCOMPARE(emulator.requests("SetUserChannel").first().message,
             "auth: \"emulator-token\" data { channel_id: 3 channel_id: 1 enabled: true } "
             "use_shared: true");
}

QTEST_MAIN(TestSettingsDialog)
#include "tst_settingsdialog.moc"
