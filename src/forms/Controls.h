#pragma once

#include "forms/Twips.h"

#include <QString>
#include <QWidget>

// Every control is findable: its object name is its name, its accessible name
// its visible caption (the name when it has none).
template<typename T>
T *named(T *widget, const QString &name, const QString &caption = QString())
{
    widget->setObjectName(name);
    widget->setAccessibleName(caption.isEmpty() ? name : caption);
    return widget;
}

// A text for a tab or a menu item, shown as given: a '&' in it makes no shortcut.
inline QString withLiteralAmpersands(QString text)
{
    return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

// Places a control that never moves at its design position in twips.
inline void place(QWidget *w, const Twips &t, int left, int top, int width, int height)
{
    w->setGeometry(t.toPx(left), t.toPx(top), t.toPx(width), t.toPx(height));
}
