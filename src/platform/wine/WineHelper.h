// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WinePrefix.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>

// Runs Nexolan's Windows helper (nexolan-messenger-x64.exe or -x86.exe) in a
// prefix under the loader of the wineserver that runs for it, so that the
// helper reads and changes that server's registry and reaches the programs
// it runs. Runs never block: each ends by calling its `done` from the event
// loop, also when the helper outlives the time limit (it is then killed).
//
// The helper matching the prefix's architecture (its user.reg's #arch line)
// runs first; the other is tried only when the first cannot start at all,
// and the one that ran is kept for the prefix.
class WineHelper : public QObject
{
    Q_DECLARE_TR_FUNCTIONS(WineHelper)

public:
    struct Result
    {
        bool ok = false; // exit status 0
        QByteArray output; // its standard output
        QString error; // why not ok: the helper's own line, or why it did not run to its end
    };
    using Done = std::function<void(const Result &result)>;

    explicit WineHelper(const QString &directory, int timeoutMilliseconds = 10000);
    ~WineHelper() override;

    // Whether either helper program lies in the directory.
    bool exists() const;
    // Runs the helper with the arguments. `done` runs once, never before
    // run() returns, and not at all once this object is gone.
    void run(const WinePrefix &prefix, const WineServer &server, const QStringList &arguments, Done done);

private:
    struct Attempt
    {
        WinePrefix prefix;
        QString loader;
        QStringList programs; // still to try, the first now
        QStringList arguments;
        Done done;
    };
    void start(Attempt attempt);
    QStringList programs(const WinePrefix &prefix) const;

    QString m_directory;
    int m_timeout;
    QHash<QString, QString> m_chosen; // prefix path -> the helper that ran there
};
