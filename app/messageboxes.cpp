#include "messageboxes.h"

#include <QFile>
#include <QMessageBox>

namespace MessageBoxes {

namespace {

Presenter& presenter()
{
    static Presenter current;
    return current;
}

bool appendToBoxLog(Kind kind, const QString& title, const QString& text)
{
    const QString logPath = qEnvironmentVariable("ZENTRIA_MESSAGE_BOX_LOG");
    if (logPath.isEmpty())
        return false;
    QFile log(logPath);
    if (log.open(QIODevice::Append)) {
        const QString line = kindName(kind) + '\t' + title + '\t' + text + '\n';
        log.write(line.toUtf8());
    }
    return true;
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
    }
    return QMessageBox::NoIcon;
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
    }
    return QString();
}

void show(Kind kind, QWidget* parent, const QString& title, const QString& text)
{
    if (presenter()) {
        presenter()(kind, title, text);
        return;
    }
    if (appendToBoxLog(kind, title, text))
        return;
    QMessageBox box(iconOf(kind), title, text, QMessageBox::Ok, parent);
    box.exec();
}

void setPresenter(Presenter newPresenter)
{
    presenter() = std::move(newPresenter);
}

}  // namespace MessageBoxes
