#pragma once

#include <QMessageBox>

class ButtonCountdown;

// A question in rich text with Yes, the default, and a reject button. The
// seconds left show on Yes, which presses itself when they run out.
class CountdownMessageBox : public QMessageBox
{
    Q_OBJECT
public:
    CountdownMessageBox(QWidget* parent, const QString& title, const QString& richText,
                        const QString& rejectText, int seconds);

    // After exec(): Yes was pressed, by the user or by the countdown.
    bool answeredYes() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* m_yes;
    ButtonCountdown* m_countdown;
};
