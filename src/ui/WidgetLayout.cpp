// SPDX-License-Identifier: GPL-3.0-or-later
#include "WidgetLayout.h"

#include <QFontDatabase>
#include <QStringList>

QFont tahomaFont(double pointSize)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

void provideTahoma()
{
    const QString family = QStringLiteral("Tahoma");
    if (QFontDatabase::hasFamily(family))
        return;
    // Debian's fonts-wine package.
    for (const char *file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    if (QFontDatabase::hasFamily(family))
        return;
    QFont::insertSubstitutions(family,
                               {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                                QStringLiteral("Liberation Sans")});
}
