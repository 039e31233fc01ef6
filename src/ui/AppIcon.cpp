// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppIcon.h"

// The icons are compiled into the static UI library; a static library's
// resources register only when something calls their initialiser.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

QIcon appIcon()
{
    static const bool registered = (initIconResources(), true);
    Q_UNUSED(registered);
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/nexolan-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/nexolan-32.png"), QSize(32, 32));
    return icon;
}
