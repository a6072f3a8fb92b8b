#include "traycontroller.h"

#include "appinfo.h"
#include "settings.h"

#include <QCoreApplication>

namespace {
constexpr int hintMs = 5000;
}

TrayController::TrayController(Settings& settings, QObject* parent)
    : QObject(parent),
      m_settings(settings),
      m_icon(QIcon(QStringLiteral(":/images/logo-16.png")), this),
      m_toggleEntry(m_menu.addAction(tr("Hide Player"), this, &TrayController::toggleRequested))
{
    m_menu.addSeparator();
    m_menu.addAction(tr("Quit"), this, &TrayController::quitRequested);
    m_icon.setContextMenu(&m_menu);
    m_icon.setToolTip(QString::fromLatin1(AppInfo::name));
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick)
                    emit restoreRequested();
            });
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_icon.show();
}

bool TrayController::isAvailable() const
{
    return m_icon.isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayController::setWindowInTray(bool inTray)
{
    m_toggleEntry->setText(inTray ? tr("Restore Player") : tr("Hide Player"));
    if (inTray && m_settings.firstTimeTray())
        showHiddenHint();
}

void TrayController::hide()
{
    m_icon.hide();
}

void TrayController::showHiddenHint()
{
    m_icon.showMessage(
        QStringLiteral("%1 %2").arg(AppInfo::name, QCoreApplication::applicationVersion()),
        tr("%1 was hidden to system tray and playback has been paused. You can always restore "
           "it by double-clicking on icon in tray, or clicking on it with right mouse and "
           "selecting Restore Player from context menu.")
            .arg(AppInfo::name),
        QSystemTrayIcon::Information, hintMs);
    m_settings.setFirstTimeTray(false);
}
