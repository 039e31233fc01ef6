// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReferralLinks.h"

#include "platform/LinkOpener.h"
#include "platform/Registry.h"

bool referralLinksAllowed(const RegistryReading &showLinks)
{
    return showLinks.ok && showLinks.value.kind == RegistryValue::Kind::Text && showLinks.value.text.isEmpty();
}

void openReferralLink(LinkOpener &links, Registry &registry, const QString &url)
{
    // The opener lives as long as the program; the registry drops the
    // answer if it goes first.
    registry.read({ShowLinksPath}, [&links, url](const QList<RegistryReading> &readings) {
        if (referralLinksAllowed(readings.first()))
            links.openUrl(url);
    });
}
