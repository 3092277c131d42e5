#include "forms/Twips.h"

#include <QWidget>
#include <cmath>

int Twips::toPx(double twips) const
{
    return static_cast<int>(std::lround(twips * m_dpi / 1440.0));
}

double Twips::fromPx(int px) const
{
    return px * 1440.0 / m_dpi;
}

Placement::Placement(QWidget *widget, const Twips *twips, double left, double top, double width,
                     double height)
    : m_widget(widget), m_twips(twips), m_left(left), m_top(top), m_width(width), m_height(height)
{
    apply();
}

void Placement::setLeft(double v)
{
    m_left = v;
    apply();
}

void Placement::setTop(double v)
{
    m_top = v;
    apply();
}

bool Placement::setWidth(double v)
{
    if (!(v >= 0))
        return false;
    m_width = v;
    apply();
    return true;
}

bool Placement::setHeight(double v)
{
    if (!(v >= 0))
        return false;
    m_height = v;
    apply();
    return true;
}

void Placement::setGeometry(double left, double top, double width, double height)
{
    m_left = left;
    m_top = top;
    if (width >= 0)
        m_width = width;
    if (height >= 0)
        m_height = height;
    apply();
}

void Placement::apply()
{
    if (!m_widget)
        return;
    m_widget->setGeometry(m_twips->toPx(m_left), m_twips->toPx(m_top), m_twips->toPx(m_width),
                          m_twips->toPx(m_height));
}
