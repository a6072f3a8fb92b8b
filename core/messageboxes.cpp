#include "messageboxes.h"

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

bool present(Kind kind, QWidget* parent, const QString& title, const QString& text)
{
    if (presenter())
        return presenter()(kind, title, text);
    if (const std::optional<bool> answer = answerFromBoxLog(kind, title, text))
        return *answer;
    const QMessageBox::StandardButtons buttons =
        kind == Kind::Question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    QMessageBox box(iconOf(kind), title, text, buttons, parent);
    return box.exec() == QMessageBox::Yes;
}

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

}  // namespace MessageBoxes

// Placeholders until the countdown boxes are written.
bool MessageBoxes::askWithCountdown(QWidget* parent, const QString& title, const QString& richText,
                                    const QString&, int)
{
    return ask(parent, title, richText);
}

int MessageBoxes::choose(QWidget* parent, const QString& title, const QString& text,
                         const QStringList&, int)
{
    return ask(parent, title, text) ? 0 : 1;
}
