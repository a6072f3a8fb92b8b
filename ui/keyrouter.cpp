#include "keyrouter.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWebEngineView>

KeyRouter::KeyRouter(QWidget* window, Handler handler)
    : QObject(window), m_window(window), m_handler(std::move(handler))
{
    qApp->installEventFilter(this);
}

bool KeyRouter::keepsTyping(const QWidget* focus)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(focus))
        return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(focus))
        return !text->isReadOnly();
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(focus))
        return !text->isReadOnly();
    if (const auto* combo = qobject_cast<const QComboBox*>(focus))
        return combo->isEditable();
    if (qobject_cast<const QAbstractSpinBox*>(focus))
        return true;
    // The page's own inputs are out of sight: the whole page types.
    for (const QWidget* widget = focus; widget; widget = widget->parentWidget()) {
        if (qobject_cast<const QWebEngineView*>(widget))
            return true;
    }
    return false;
}

QWidget* KeyRouter::judge() const
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != m_window || keepsTyping(focus))
        return m_window;
    return focus;
}

// A key goes to the focused widget first and then, while ignored, to its
// parents, the filter seeing it at each; the rules are tried at one of them.
bool KeyRouter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || watched != judge())
        return false;
    return m_handler(static_cast<QKeyEvent*>(event));
}
