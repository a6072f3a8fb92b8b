#pragma once

#include <QPointer>
#include <QWidget>

class QHBoxLayout;
class QLabel;

// The row below the player that reports what went wrong: an icon, a text and
// optionally a widget such as the "Reconnect" button.
class StatusBar : public QWidget
{
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent = nullptr);

    QString text() const;
    QWidget* widget() const { return m_widget; }

public slots:
    void error(QString text, QWidget* widget = nullptr);
    void warning(QString text, QWidget* widget = nullptr);
    void clear();

private:
    void present(const QString& pixmap, const QColor& color, const QString& text, QWidget* widget);

    QHBoxLayout* m_layout;
    QLabel* m_icon;
    QLabel* m_text;
    QPointer<QWidget> m_widget;
};
