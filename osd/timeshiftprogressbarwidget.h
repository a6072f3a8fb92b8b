#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QWidget>

// A programme bar: a range of values (seconds, as a rule), a played section
// and a second section drawn over the background, optional rounded end caps
// and markers at chosen values. A click on the bar reports the value under
// the mouse.
class TimeShiftProgressBarWidget : public QWidget
{
    Q_OBJECT
public:
    struct Section
    {
        int min = 0;
        int max = 0;
        bool isEmpty() const { return min == max; }  // not drawn
        bool operator==(const Section& other) const { return min == other.min && max == other.max; }
    };

    // Where everything is drawn, for the widget's current width.
    struct Geometry
    {
        int xmin = 0;
        int xmax = 0;
        QString leftCap;   // the image, empty when the cap is off
        QString rightCap;  // the image, empty when the cap is off
        QRect played;      // empty when the section is not drawn
        QRect second;
        QList<int> markerPixels;
    };

    explicit TimeShiftProgressBarWidget(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    void setPlayedSection(int min, int max);
    void setSecondSection(int min, int max);
    void setLeftCapVisible(bool visible);
    void setRightCapVisible(bool visible);
    void setMarkers(const QList<int>& values);
    // Drawn over the bar.
    void setTitle(const QString& title);

    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    Section playedSection() const { return m_played; }
    Section secondSection() const { return m_second; }
    QList<int> markers() const { return m_markers; }
    QString title() const { return m_title; }

    // 0 for a value outside the range or an empty range.
    int valueToPixel(int value) const;
    Geometry geometry() const;

    QSize sizeHint() const override;

signals:
    void valueChangedByUser(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_minimum = 0;
    int m_maximum = 100;
    Section m_played;
    Section m_second;
    bool m_leftCap = false;
    bool m_rightCap = false;
    QList<int> m_markers;
    QString m_title;
};
