#pragma once

#include <QDialog>
#include <QMetaObject>

#include <memory>

namespace Ui {
class UpdateProgressWindow;
}

class UpdateService;

// The update offer, the only window of a start that found a newer version:
// both versions and the change log, and after Update the download's progress
// until the unpacked version takes over.
class UpdateProgressWindow : public QDialog
{
    Q_OBJECT
public:
    explicit UpdateProgressWindow(QWidget* parent = nullptr);
    ~UpdateProgressWindow() override;

    // Shows the service's versions and follows its download; null detaches.
    void setService(UpdateService* service);

public slots:
    void startUpdating();
    void makeRestart(const QString& path);
    void cancelUpdate();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showVersions();
    void centreOnDesktop();

    std::unique_ptr<Ui::UpdateProgressWindow> m_ui;
    UpdateService* m_service = nullptr;
    QList<QMetaObject::Connection> m_connections;
};
