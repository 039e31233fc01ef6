#include "AppIcon.h"

QIcon appIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/nexolan-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/nexolan-32.png"), QSize(32, 32));
    return icon;
}
