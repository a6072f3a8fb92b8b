#pragma once

#include <QWidget>

// The player's one top-level window.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

public slots:
    // A second start asked the player to come to the front.
    void onShowPlayerMessage();

protected:
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif
};
