#include "updateprogresswindow.h"

#include "messageboxes.h"
#include "ui_updateprogresswindow.h"
#include "updateservice.h"

#include <QApplication>
#include <QScreen>

UpdateProgressWindow::UpdateProgressWindow(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::UpdateProgressWindow>())
{
    m_ui->setupUi(this);
    m_ui->buttonCancel->hide();
}

UpdateProgressWindow::~UpdateProgressWindow() = default;

void UpdateProgressWindow::setService(UpdateService* service)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_service = service;
    showVersions();
    if (!service)
        return;
    m_connections = {
        connect(service, &UpdateService::downloadStarted, this, &QWidget::show),
        connect(service, &UpdateService::downloadProgress, m_ui->updateProgress,
                &QProgressBar::setValue),
        connect(service, &UpdateService::downloadFinished, this,
                &UpdateProgressWindow::makeRestart),
        connect(m_ui->buttonUpdate, &QPushButton::clicked, this,
                &UpdateProgressWindow::startUpdating),
    };
}

void UpdateProgressWindow::showVersions()
{
    const QString url = m_service ? m_service->changelogUrl() : QString();
    m_ui->localVersion->setText(m_service ? m_service->localVersion() : QString());
    m_ui->remoteVersion->setText(m_service ? m_service->remoteVersion() : QString());
    m_ui->changelogUrl->setText(m_service ? QStringLiteral("<a href=\"%1\">%1</a>").arg(url)
                                          : QString());
}

void UpdateProgressWindow::startUpdating()
{
    m_ui->buttonUpdate->setEnabled(false);
    if (m_service)
        m_service->downloadUpdates();
}

void UpdateProgressWindow::makeRestart(const QString& path)
{
    if (!m_service->hasError())
        m_service->runUnpackedVersion(path);
    if (m_service->hasError()) {
        MessageBoxes::show(MessageBoxes::Kind::Critical, this,
                           QApplication::translate("main", "Update error"), m_service->errorText());
    }
    close();
}

void UpdateProgressWindow::cancelUpdate()
{
    close();
}

void UpdateProgressWindow::showEvent(QShowEvent* event)
{
    m_ui->updateProgress->setValue(0);
    centreOnDesktop();
    QDialog::showEvent(event);
}

void UpdateProgressWindow::centreOnDesktop()
{
    const QRect desktop = screen()->geometry();
    move(qRound((desktop.width() - width()) / 2.0), qRound((desktop.height() - height()) / 2.0));
}
