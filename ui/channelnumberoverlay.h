#pragma once

#include <QWidget>

class QLabel;

// The digits of a channel number being typed on the remote control, shown
// over the top-left corner of the video in a small window of their own.
class ChannelNumberOverlay : public QWidget
{
    Q_OBJECT
public:
    explicit ChannelNumberOverlay(QWidget* parent);

    // Shows the digits, in a window just as wide as they are.
    void showDigits(const QString& digits);
    QString digits() const;

private:
    QLabel* m_label;
};
