#pragma once

#include <QBrush>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>

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

    // Where everything is drawn, for the widget's current size. The caps are
    // scaled to the widget height; the bar runs between them, from xmin to
    // xmax. A section covers the pixels from xmin + valueToPixel(min) up to
    // xmin + valueToPixel(max), its values clamped to the range (min and max
    // may come in either order); the played section is drawn over the second
    // one. A cap shows the played section's colour when that section reaches
    // its end, else the second section's when that one does, else the
    // background. Markers outside the range are not drawn.
    struct Geometry
    {
        int xmin = 0;
        int xmax = 0;
        QString leftCap;   // the image, empty when the cap is off
        QString rightCap;  // the image, empty when the cap is off
        QRect played;      // empty when the section is not drawn
        QRect second;
        QList<int> markerPixels;  // the x of each marker's centre
    };

    explicit TimeShiftProgressBarWidget(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    void setPlayedSection(int min, int max);
    void setSecondSection(int min, int max);
    void setLeftCapVisible(bool visible);
    void setRightCapVisible(bool visible);
    void setMarkers(const QList<int>& values);
    // Drawn centred over the bar, elided when it does not fit.
    void setTitle(const QString& title);

    int minimum() const { return m_range.min; }
    int maximum() const { return m_range.max; }
    Section playedSection() const { return m_played; }
    Section secondSection() const { return m_second; }
    QList<int> markers() const { return m_markers; }
    QString title() const { return m_title; }

    // The offset from xmin: (value - minimum) * (xmax - xmin) / (maximum -
    // minimum), rounded down; 0 for a value outside the range or an empty range.
    int valueToPixel(int value) const;
    Geometry barGeometry() const;

    QSize sizeHint() const override;

signals:
    // A left-button press: the value under the pointer, within the range.
    void valueChangedByUser(int value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum CapVariant { PlayedCap, SecondCap, BackgroundCap };
    enum Side { Left, Right };

    template <typename T>
    void change(T& field, const T& value);
    bool isRangeEmpty() const { return m_range.max <= m_range.min; }
    int drawnWidth(const QPixmap& image) const;
    int xmin() const;
    int xmax() const;
    int pixelToValue(int x) const;
    QRect sectionRect(const Section& section) const;
    bool reaches(const Section& section, Side side) const;
    CapVariant capVariant(Side side) const;
    static QString capImage(Side side, CapVariant variant);
    void drawTitle(QPainter& painter, const QRect& bar) const;
    void logRepaint(int left, int right) const;

    Section m_range{0, 100};
    Section m_played;
    Section m_second;
    bool m_leftCap = false;
    bool m_rightCap = false;
    QList<int> m_markers;
    QString m_title;

    QBrush m_backgroundBrush;
    QBrush m_playedBrush;
    QBrush m_secondBrush;
    std::array<QPixmap, 3> m_leftCaps;  // by CapVariant
    std::array<QPixmap, 3> m_rightCaps;
    QPixmap m_marker;
};
