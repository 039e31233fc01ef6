#include "modGrimhal.h"

#include "platform/LinkOpener.h"
#include "platform/WshShell.h"

bool OpenLink(LinkOpener &links, WshShell *shell, const QString &url, QString *error)
{
    RegValue value;
    if (!shell) {
        *error = QStringLiteral("The registry is not available.");
        return false;
    }
    if (!shell->RegRead(ShowLinksPath, &value, error))
        return false;
    if (value.kind == RegValue::Kind::Text && value.text.isEmpty())
        links.ShellOpen(url);
    return true;
}
