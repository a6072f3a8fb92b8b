#include "countdownmessagebox.h"

#include "buttoncountdown.h"

#include <QPushButton>

CountdownMessageBox::CountdownMessageBox(QWidget* parent, const QString& title,
                                         const QString& richText, const QString& rejectText,
                                         int seconds)
    : QMessageBox(QMessageBox::Question, title, QString(), QMessageBox::NoButton, parent)
{
    setTextFormat(Qt::RichText);
    setText(richText);
    m_yes = addButton(QMessageBox::Yes);
    QPushButton* reject = addButton(rejectText, QMessageBox::RejectRole);
    setDefaultButton(m_yes);
    setEscapeButton(reject);
    m_countdown = new ButtonCountdown(m_yes, seconds, this);
    connect(m_countdown, &ButtonCountdown::expired, m_yes, &QPushButton::click);
}

bool CountdownMessageBox::answeredYes() const
{
    return clickedButton() == m_yes;
}

void CountdownMessageBox::showEvent(QShowEvent* event)
{
    QMessageBox::showEvent(event);
    m_countdown->start();
}
