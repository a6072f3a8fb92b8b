#pragma once

#include <QWidget>

class FullPlaybackProgressWidget;
class QToolButton;

// The panel at the bottom of fullscreen video: the programme bar with the
// volume, and the buttons that leave fullscreen, quit the player and keep
// only the player on top.
class FullscreenProgressPanel : public QWidget
{
    Q_OBJECT
public:
    explicit FullscreenProgressPanel(QWidget* parent);

    FullPlaybackProgressWidget* progress() const { return m_progress; }
    QToolButton* onlyPlayerToggle() const { return m_onlyPlayer; }
    // Along the bottom edge of the area, in global coordinates.
    void placeIn(const QRect& area);

signals:
    void defullscreenClicked();
    void quitClicked();
    void onlyPlayerToggled(bool onlyPlayer);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect m_area;
    FullPlaybackProgressWidget* m_progress;
    QToolButton* m_onlyPlayer;
};
