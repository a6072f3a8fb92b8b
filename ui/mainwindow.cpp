#include "mainwindow.h"

#include "appinfo.h"
#include "settings.h"
#include "showplayermessage.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("%1 %2").arg(AppInfo::name, AppInfo::version));
    const Settings* settings = Settings::instance();
    resize(settings->windowSize());
    move(settings->windowPosition());
}

void MainWindow::onShowPlayerMessage()
{
    qDebug("SHOWPLAYERMSG message received, activating window");
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

#ifdef Q_OS_WIN
bool MainWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result)
{
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == ShowPlayerMessage::messageId) {
        onShowPlayerMessage();
        *result = 0;
        return true;
    }
    return QWidget::nativeEvent(eventType, message, result);
}
#endif
