#include "modGrimhal.h"

#include "app/modServers.h"

bool OpenLink(Platform &platform, WshShell *shell, const QString &url, QString *error)
{
    RegValue value;
    if (!RegReadValue(shell, ShowLinksPath, &value, error))
        return false;
    if (value.kind == RegValue::Kind::Text && value.text.isEmpty())
        platform.ShellOpen(url);
    return true;
}
