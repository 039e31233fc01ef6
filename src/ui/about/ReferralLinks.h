// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class LinkOpener;
class Registry;
struct RegistryReading;

// Where the referral flag lives. The program only reads it.
inline const QString ShowLinksPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Torvik\\Nexolan\\ShowLinks");

// The referral pages opened at start-up and from the About box.
inline const QString StartupReferralUrl = QStringLiteral("https://www.grimhal.example/?ref=nexolan-start");
inline const QString AboutReferralUrl = QStringLiteral("https://www.grimhal.example/?ref=nexolan-about");

// Whether the ShowLinks value, as read, lets referral pages open: it exists
// and is a text of length 0.
bool referralLinksAllowed(const RegistryReading &showLinks);

// Opens the address in the browser only when the ShowLinks value allows it.
// The value is read without blocking, and the page opens once it is read;
// nothing opens without the value.
void openReferralLink(LinkOpener &links, Registry &registry, const QString &url);
