#include "messageboxes.h"

#include "appinfo.h"
#include "choicedialog.h"
#include "countdownmessagebox.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>

#include <optional>

namespace MessageBoxes {

namespace {

Presenter& presenter()
{
    static Presenter current;
    return current;
}

// The answer of a box that a test process logs instead of showing.
std::optional<bool> answerFromBoxLog(Kind kind, const QString& title, const QString& text)
{
    const QString logPath = qEnvironmentVariable("ZENTRIA_MESSAGE_BOX_LOG");
    if (logPath.isEmpty())
        return std::nullopt;
    QFile log(logPath);
    if (log.open(QIODevice::Append)) {
        const QString line = kindName(kind) + '\t' + title + '\t' + text + '\n';
        log.write(line.toUtf8());
    }
    return qEnvironmentVariable("ZENTRIA_MESSAGE_BOX_ANSWER") == QLatin1String("yes");
}

QMessageBox::Icon iconOf(Kind kind)
{
    switch (kind) {
        case Kind::Information:
            return QMessageBox::Information;
        case Kind::Warning:
            return QMessageBox::Warning;
        case Kind::Critical:
            return QMessageBox::Critical;
        case Kind::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The answer of the presenter or of the box log, when either is there.
std::optional<bool> answerElsewhere(Kind kind, const QString& title, const QString& text)
{
    if (presenter())
        return presenter()(kind, title, text);
    return answerFromBoxLog(kind, title, text);
}

bool present(Kind kind, QWidget* parent, const QString& title, const QString& text)
{
    if (const std::optional<bool> answer = answerElsewhere(kind, title, text))
        return *answer;
    const QMessageBox::StandardButtons buttons =
        kind == Kind::Question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(iconOf(kind), title, text, buttons, parent);
    return box.exec() == QMessageBox::Yes;
}

// A question may be asked while the window sits in the tray; closing the
// question must not end the player.
class KeepRunningWhileAsking
{
public:
    KeepRunningWhileAsking() : m_quitOnLastWindowClosed(QApplication::quitOnLastWindowClosed())
    {
        QApplication::setQuitOnLastWindowClosed(false);
    }
    ~KeepRunningWhileAsking() { QApplication::setQuitOnLastWindowClosed(m_quitOnLastWindowClosed); }
    KeepRunningWhileAsking(const KeepRunningWhileAsking&) = delete;
    KeepRunningWhileAsking& operator=(const KeepRunningWhileAsking&) = delete;

private:
    bool m_quitOnLastWindowClosed;
};

}  // namespace

QString kindName(Kind kind)
{
    switch (kind) {
        case Kind::Information:
            return QStringLiteral("information");
        case Kind::Warning:
            return QStringLiteral("warning");
        case Kind::Critical:
            return QStringLiteral("critical");
        case Kind::Question:
            return QStringLiteral("question");
    }
    return QString();
}

void show(Kind kind, QWidget* parent, const QString& title, const QString& text)
{
    present(kind, parent, title, text);
}

bool ask(QWidget* parent, const QString& title, const QString& text)
{
    return present(Kind::Question, parent, title, text);
}

void setPresenter(Presenter newPresenter)
{
    presenter() = std::move(newPresenter);
}

bool askWithCountdown(QWidget* parent, const QString& title, const QString& richText,
                      const QString& rejectText, int seconds)
{
    if (const std::optional<bool> answer = answerElsewhere(Kind::Question, title, richText))
        return *answer;
    KeepRunningWhileAsking keepRunning;
    CountdownMessageBox box(parent, title, richText, rejectText, seconds);
    box.exec();
    return box.answeredYes();
}

int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& choices,
           int seconds)
{
    // Elsewhere the choices follow the text, each after a rule.
    const QString shown = (QStringList{text} + choices).join(QStringLiteral("<hr/>"));
    if (const std::optional<bool> first = answerElsewhere(Kind::Question, title, shown))
        return *first ? 0 : 1;
    KeepRunningWhileAsking keepRunning;
    ChoiceDialog dialog(parent, title, text, choices, seconds);
    dialog.exec();
    return dialog.choice();
}

}  // namespace MessageBoxes

QString MessageBoxes::title(const QString& what)
{
    return what + QStringLiteral(" - ") + QString::fromLatin1(AppInfo::name);
}
