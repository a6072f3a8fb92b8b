#include "choicedialog.h"

#include "buttoncountdown.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

ChoiceDialog::ChoiceDialog(QWidget* parent, const QString& title, const QString& text,
                           const QStringList& choices, int seconds)
    : QDialog(parent)
{
    setWindowTitle(title);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* question = new QLabel(text, this);
    question->setTextFormat(Qt::RichText);
    layout->addWidget(question);

    // A radio button has no rich text: each choice is a button and a label
    // beside it, and a click on the label picks the button.
    auto* grid = new QGridLayout;
    auto* group = new QButtonGroup(this);
    for (const QString& choice : choices) {
        const int row = int(m_buttons.size());
        auto* button = new QRadioButton(this);
        button->setAccessibleName(QTextDocumentFragment::fromHtml(choice).toPlainText());
        group->addButton(button, row);
        auto* label = new QLabel(choice, this);
        label->setTextFormat(Qt::RichText);
        label->setBuddy(button);
        label->installEventFilter(this);
        grid->addWidget(button, row, 0, Qt::AlignTop);
        grid->addWidget(label, row, 1);
        m_buttons.append(button);
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    if (!m_buttons.isEmpty()) {
        m_buttons.first()->setChecked(true);
        m_buttons.first()->setFocus();
    }

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = box->button(QDialogButtonBox::Ok);
    ok->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(box);
    m_countdown = new ButtonCountdown(ok, seconds, this);
    connect(m_countdown, &ButtonCountdown::expired, this, &ChoiceDialog::takeDefault);
}

int ChoiceDialog::choice() const
{
    if (result() != QDialog::Accepted)
        return -1;
    for (int i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons.at(i)->isChecked())
            return i;
    }
    return -1;
}

void ChoiceDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_countdown->start();
}

bool ChoiceDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto* label = qobject_cast<QLabel*>(watched)) {
            if (auto* button = qobject_cast<QRadioButton*>(label->buddy()))
                button->setChecked(true);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void ChoiceDialog::takeDefault()
{
    if (!m_buttons.isEmpty())
        m_buttons.first()->setChecked(true);
    accept();
}
