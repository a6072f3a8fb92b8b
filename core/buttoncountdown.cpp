#include "buttoncountdown.h"

#include <QAbstractButton>

ButtonCountdown::ButtonCountdown(QAbstractButton* button, int seconds, QObject* parent)
    : QObject(parent), m_button(button), m_text(button->text()), m_left(seconds)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ButtonCountdown::tick);
}

void ButtonCountdown::start()
{
    if (m_left <= 0 || m_timer.isActive())
        return;
    showLeft();
    m_timer.start();
}

void ButtonCountdown::tick()
{
    --m_left;
    if (m_left > 0) {
        showLeft();
        return;
    }
    m_timer.stop();
    if (m_button)
        m_button->setText(m_text);
    emit expired();
}

void ButtonCountdown::showLeft()
{
    if (m_button)
        m_button->setText(QStringLiteral("%1 (%2)").arg(m_text).arg(m_left));
}
