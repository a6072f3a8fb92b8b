#pragma once

#include "monotonicclock.h"

#include <QObject>
#include <QString>
#include <QTimer>

// A channel number typed digit by digit on the remote control. A timer beats
// once a second from construction on; the first beat that comes more than a
// second after the last digit or back-step takes the number, so it is taken
// one to two seconds after the user stopped typing.
class RemoteDigitEntry : public QObject
{
    Q_OBJECT
public:
    static constexpr int beatMs = 1000;
    static constexpr qint64 pauseMs = 1000;
    static constexpr int maxDigits = 3;

    // Without a clock the entry runs on a steady clock of its own.
    explicit RemoteDigitEntry(QObject* parent = nullptr, MonotonicClock clock = {});

    // The digits typed so far, as the overlay shows them.
    QString text() const;

public slots:
    // Appends a digit; one beyond the third is dropped, though it still
    // restarts the pause.
    void append(int digit);
    // Removes the last digit, when there is one.
    void backspace();
    // The timer's beat; a test beats by hand on its own clock.
    void beat();

signals:
    void textChanged(const QString& text);
    // The number typed, whatever it is: 0 and numbers beyond the list too.
    void channelChosen(int number);

private:
    MonotonicClock m_clock;
    QTimer m_beat;
    QString m_digits;
    qint64 m_lastInputAt = 0;
};
