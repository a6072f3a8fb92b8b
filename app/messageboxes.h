#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every box that start-up and the log handler show goes through here, so that
// a process without a person in front of it (the test suite) can read and
// answer them: set ZENTRIA_MESSAGE_BOX_LOG to a file and each box is appended
// to it as "kind<TAB>title<TAB>text" and answered with OK at once.
namespace MessageBoxes {

enum class Kind { Information, Warning, Critical };

// Shows a box with one OK button and returns when it has been answered.
void show(Kind kind, QWidget* parent, const QString& title, const QString& text);

// Replaces the boxes inside this process; an empty function restores them.
using Presenter = std::function<void(Kind kind, const QString& title, const QString& text)>;
void setPresenter(Presenter presenter);

QString kindName(Kind kind);

}  // namespace MessageBoxes
