#include "fullscreenprogresspanel.h"

#include "fullplaybackprogresswidget.h"

#include <QHBoxLayout>
#include <QToolButton>

FullscreenProgressPanel::FullscreenProgressPanel(QWidget* parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint),
      m_progress(new FullPlaybackProgressWidget(this)),
      m_onlyPlayer(new QToolButton(this))
{
    setObjectName(QStringLiteral("FullscreenProgressWidget"));
    m_progress->setObjectName(QStringLiteral("fullProgressWidget"));
    auto* row = new QHBoxLayout(this);
    row->addWidget(m_progress, 1);
    row->addWidget(m_onlyPlayer);
}

void FullscreenProgressPanel::placeIn(const QRect& area)
{
    Q_UNUSED(area)
}
