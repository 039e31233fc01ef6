#include "ReferralLinks.h"

#include "platform/LinkOpener.h"
#include "platform/Registry.h"

bool openReferralLink(LinkOpener &links, Registry *shell, const QString &url, QString *error)
{
    RegistryValue value;
    if (!shell) {
        *error = QStringLiteral("The registry is not available.");
        return false;
    }
    if (!shell->read(ShowLinksPath, &value, error))
        return false;
    if (value.kind == RegistryValue::Kind::Text && value.text.isEmpty())
        links.openUrl(url);
    return true;
}
