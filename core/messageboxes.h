#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

// Every box that the player shows goes through here, so that a process
// without a person in front of it (the test suite) can read and answer them:
// set ZENTRIA_MESSAGE_BOX_LOG to a file and each box is appended to it as
// "kind<TAB>title<TAB>text" and answered at once, with OK or, for a question,
// with the answer in ZENTRIA_MESSAGE_BOX_ANSWER ("yes"; anything else is no).
namespace MessageBoxes {

enum class Kind { Information, Warning, Critical, Question };

// A box's title: what it is (translated by the caller), " - " and the
// application's name.
QString title(const QString& what);

// Shows a box with one OK button and returns when it has been answered.
void show(Kind kind, QWidget* parent, const QString& title, const QString& text);

// Asks with Yes and No; true for Yes.
bool ask(QWidget* parent, const QString& title, const QString& text);

// Asks with a rich text, Yes (the default) and a reject button with the
// given text. The countdown of seconds shows on the default button, which is
// pressed by itself when it runs out. True for Yes.
bool askWithCountdown(QWidget* parent, const QString& title, const QString& richText,
                      const QString& rejectText, int seconds);

// Offers rich-text choices, the first of them the default, which is taken by
// itself after the seconds given. The index of the choice, or -1 when the
// dialog was closed without one. A presenter answers true for the first
// choice and false for the second.
int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& choices,
           int seconds);

// Replaces the boxes inside this process; an empty function restores them.
// It returns the answer to a question and is ignored for the other kinds.
using Presenter = std::function<bool(Kind kind, const QString& title, const QString& text)>;
void setPresenter(Presenter presenter);

QString kindName(Kind kind);

}  // namespace MessageBoxes
