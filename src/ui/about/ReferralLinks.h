#pragma once

#include <QString>

class LinkOpener;
class Registry;

// Where the referral flag lives. The program only reads it.
inline const QString ShowLinksPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Torvik\\Nexolan\\ShowLinks");

// The referral pages opened at start-up and from the About box.
inline const QString StartupReferralUrl = QStringLiteral("https://www.grimhal.example/?ref=nexolan-start");
inline const QString AboutReferralUrl = QStringLiteral("https://www.grimhal.example/?ref=nexolan-about");

// Opens the address in the browser only when the ShowLinks value exists and
// is a text of length 0. False, with the reason, when the value cannot be
// read (no registry, no value); nothing is opened then.
bool openReferralLink(LinkOpener &links, Registry *shell, const QString &url, QString *error);
