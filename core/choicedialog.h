#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class ButtonCountdown;
class QRadioButton;

// One of several rich-text choices, the first of them selected. OK takes the
// selected one; when the seconds shown on OK run out the first is taken.
class ChoiceDialog : public QDialog
{
    Q_OBJECT
public:
    ChoiceDialog(QWidget* parent, const QString& title, const QString& text,
                 const QStringList& choices, int seconds);

    // After exec(): the index chosen, or -1 when the dialog was closed.
    int choice() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void takeDefault();

private:
    QList<QRadioButton*> m_buttons;
    ButtonCountdown* m_countdown;
};
