#include "statusbar.h"

#include <QHBoxLayout>
#include <QLabel>

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent),
      m_layout(new QHBoxLayout(this)),
      m_icon(new QLabel(this)),
      m_text(new QLabel(this))
{
    m_layout->setContentsMargins(4, 2, 4, 2);
    m_layout->addWidget(m_icon);
    m_layout->addWidget(m_text, 1);
    m_text->setWordWrap(true);
}

QString StatusBar::text() const
{
    return m_text->text();
}

void StatusBar::error(QString text, QWidget* widget)
{
    present(QStringLiteral(":/images/error.png"), QColor(190, 0, 0), text, widget);
}

void StatusBar::warning(QString text, QWidget* widget)
{
    present(QStringLiteral(":/images/warning.png"), QColor(160, 100, 0), text, widget);
}

void StatusBar::clear()
{
    m_icon->clear();
    m_text->clear();
    if (m_widget) {
        m_layout->removeWidget(m_widget);
        m_widget->hide();
        m_widget = nullptr;
    }
}

void StatusBar::present(const QString& pixmap, const QColor& color, const QString& text,
                        QWidget* widget)
{
    clear();
    m_icon->setPixmap(QPixmap(pixmap));
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::WindowText, color);
    m_text->setPalette(palette);
    m_text->setText(text);
    if (widget) {
        m_widget = widget;
        m_layout->insertWidget(2, widget);
        widget->show();
    }
}
