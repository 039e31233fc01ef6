#pragma once

#include <QFont>
#include <QWidget>

// The windows place their controls at fixed pixel rectangles, each named
// after the control so that tests and tools can find it.
template<typename T>
T *placed(QWidget *parent, const char *name, int x, int y, int width, int height)
{
    auto *widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

// Tahoma at the given size, regular weight; where Tahoma is missing the
// system's fallback stands in.
inline QFont tahomaFont(double pointSize)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}
