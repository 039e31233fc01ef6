// SPDX-License-Identifier: GPL-3.0-or-later
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

// Tahoma at the given size, regular weight.
QFont tahomaFont(double pointSize);

// Makes Tahoma available where the system lacks it: Wine's metric-compatible
// Tahoma when installed, else a narrow family stands in for it. The windows
// are laid out for Tahoma's widths; a wider font would cut their captions.
void provideTahoma();
