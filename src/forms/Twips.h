#pragma once

#include <QRect>

class QWidget;

// Lengths of window contents are kept in twips (1/1440 inch); widgets get the
// rounded pixel rectangle.
class Twips
{
public:
    explicit Twips(double dpi = 96.0) : m_dpi(dpi > 0 ? dpi : 96.0) { }

    double dpi() const { return m_dpi; }
    int toPx(double twips) const;
    double fromPx(int px) const;

private:
    double m_dpi;
};

// A control placed by the program. The twips values are the truth: the layout
// formulas read and write them exactly, and a size the toolkit would reject
// (negative) leaves the old value.
class Placement
{
public:
    Placement(QWidget *widget, const Twips *twips, double left, double top, double width,
              double height);

    double Left() const { return m_left; }
    double Top() const { return m_top; }
    double Width() const { return m_width; }
    double Height() const { return m_height; }

    void setLeft(double v);
    void setTop(double v);
    bool setWidth(double v);
    bool setHeight(double v);
    void setGeometry(double left, double top, double width, double height);

    QWidget *widget() const { return m_widget; }
    void apply();

private:
    QWidget *m_widget;
    const Twips *m_twips;
    double m_left, m_top, m_width, m_height;
};
