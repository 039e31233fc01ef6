// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// What finding a Wine prefix depends on, taken from this process by
// fromProcess() and set by hand in tests (a fake /proc, a fake home).
struct WineEnvironment
{
    QString home; // $HOME
    QString xdgDataHome; // $XDG_DATA_HOME; empty for <home>/.local/share
    QString winePrefix; // $WINEPREFIX, made absolute
    QString procRoot = QStringLiteral("/proc");
    // The user running the program: only their processes and prefixes count.
    uint user = currentUser();

    static WineEnvironment fromProcess();
    static uint currentUser();
};

// A wineserver running for a prefix. Programs started with its loader and
// the prefix's WINEPREFIX talk to it, and so see and change its registry.
struct WineServer
{
    qint64 pid = 0;
    // The server's loader (WINELOADER, or the wine beside the server), an
    // absolute path after links; empty when it is not to be trusted, and
    // loaderProblem says why.
    QString loader;
    QString loaderProblem;
};

// Whether a program may be run on the user's behalf: an absolute path to a
// regular file owned by root or by the user, in folders likewise owned,
// none of them writable by anyone else (a folder with the sticky bit, such
// as /tmp, excepted). Gives the path after links, or an empty text and why.
QString trustedProgram(const QString &path, uint user, QString *problem);

// A Wine prefix and what runs in it, looked up in /proc at each call.
class WinePrefix
{
public:
    WinePrefix(const QString &path, const WineEnvironment &environment);

    QString path() const { return m_path; }
    QString userRegistryPath() const;
    // "win32" or "win64" from user.reg; empty when unknown.
    QString arch() const;

    // The wineserver that owns the prefix's registry now, if one runs. It is
    // the user's own process named wineserver whose working folder is named
    // after the prefix folder's device and inode ("server-<dev>-<inode>", in
    // hex).
    std::optional<WineServer> server() const;
    // Whether a Messenger client (msnmsgr.exe) of the user runs in this prefix.
    bool isMessengerRunning() const;
    // Whether Messenger was installed or has run here: its key in user.reg
    // or its program under Program Files.
    bool holdsMessenger() const;
    // Whether Messenger's automation class is registered, for the user or
    // the machine, in the 64-bit or the 32-bit view.
    bool hasMessengerClass() const;

private:
    QString m_path;
    WineEnvironment m_environment;
};

// The prefix Nexolan acts on, or why there is none.
struct WinePrefixSearch
{
    std::optional<WinePrefix> prefix;
    QString reason;
    // No prefix holds Messenger and WINEPREFIX is unset: Messenger does not
    // run under Wine here. Otherwise, without a prefix, the user's Wine
    // setup is wrong or ambiguous and the reason tells how.
    bool noneFound = false;
};

// WINEPREFIX when set; else the prefix of the user's running Messenger
// client; else the one prefix that holds Messenger among ~/.wine, Bottles'
// bottles and PlayOnLinux's prefixes. Several candidates choose none: the
// user names one with WINEPREFIX. As Wine does, a prefix owned by another
// user is refused.
WinePrefixSearch findWinePrefix(const WineEnvironment &environment);
