#include "fullscreenprogresspanel.h"

#include "fullplaybackprogresswidget.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* imageButton(QWidget* parent, const char* name, const char* image,
                         const QString& toolTip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(QLatin1String(image)));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

FullscreenProgressPanel::FullscreenProgressPanel(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint),
      m_progress(new FullPlaybackProgressWidget(this)),
      m_onlyPlayer(
          imageButton(this, "buttonOnlyPlayer", ":/images/only-player.png", tr("Show Only Player")))
{
    setObjectName(QStringLiteral("FullscreenProgressWidget"));
    setWindowTitle(tr("Playback"));
    m_progress->setObjectName(QStringLiteral("fullProgressWidget"));
    setAutoFillBackground(true);
    // The toolbar's pictures are drawn for a light ground: the buttons and the
    // volume picture keep one.
    setStyleSheet(QStringLiteral(
        "FullscreenProgressPanel { background-color: rgb(0, 0, 0); color: rgb(255, 255, 255); }"
        "QToolButton { background-color: rgb(215, 215, 215); border: none; border-radius: 4px;"
        " padding: 2px; }"
        "QToolButton:hover { background-color: rgb(245, 245, 245); }"
        "QLabel#lblVolumeIndicator { background-color: rgb(215, 215, 215);"
        " border-radius: 4px; }"));
    m_onlyPlayer->setCheckable(true);
    QToolButton* defullscreen = imageButton(this, "buttonDefullscreen", ":/images/defullscreen.png",
                                            tr("Leave fullscreen"));
    QToolButton* quit = imageButton(this, "buttonQuit", ":/images/close.png", tr("Quit"));
    connect(defullscreen, &QToolButton::clicked, this,
            &FullscreenProgressPanel::defullscreenClicked);
    connect(quit, &QToolButton::clicked, this, &FullscreenProgressPanel::quitClicked);
    connect(m_onlyPlayer, &QToolButton::toggled, this, &FullscreenProgressPanel::onlyPlayerToggled);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(defullscreen);
    buttons->addWidget(m_onlyPlayer);
    buttons->addWidget(quit);
    buttons->addStretch();
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_progress, 1);
    row->addLayout(buttons);
}

void FullscreenProgressPanel::placeIn(const QRect& area)
{
    m_area = area;
    // Until polished, the style sheet's fonts are not in the size hint.
    ensurePolished();
    const int height = qMin(sizeHint().height(), area.height());
    setGeometry(area.left(), area.bottom() + 1 - height, area.width(), height);
}

// Its layout may still make it taller as it shows: it grows upwards.
void FullscreenProgressPanel::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_area.isValid())
        move(m_area.left(), m_area.bottom() + 1 - height());
}
