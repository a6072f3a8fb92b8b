#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QAbstractButton;

// Counts seconds down on a button's text, "Yes (15)", and says when none are
// left. It starts with start(); no seconds means no countdown.
class ButtonCountdown : public QObject
{
    Q_OBJECT
public:
    ButtonCountdown(QAbstractButton* button, int seconds, QObject* parent = nullptr);

    void start();

signals:
    void expired();

private slots:
    void tick();

private:
    void showLeft();

    QPointer<QAbstractButton> m_button;
    QString m_text;
    int m_left;
    QTimer m_timer;
};
