#pragma once

#include "WinePrefix.h"

#include <QByteArray>
#include <QStringList>

// Runs Nexolan's Windows helper (nexolan-messenger-x64.exe or -x86.exe) in a
// prefix under the loader of the wineserver that runs for it, so that the
// helper reads and changes that server's registry and reaches the programs
// it runs. Each run has a time limit; a helper that outlives it is killed.
// The helper matching the prefix's architecture is tried first; the first
// that answers its usage line is kept for this loader.
class WineHelper
{
public:
    explicit WineHelper(const QString &directory, int timeoutMilliseconds = 10000);

    // Whether either helper program lies in the directory.
    bool exists() const;
    // Runs the helper with the arguments; its standard output on exit
    // status 0, else false and its error text.
    bool run(const WinePrefix &prefix, const WineServer &server, const QStringList &arguments, QByteArray *output,
             QString *error);

private:
    struct Result
    {
        bool finished = false;
        int exitCode = -1;
        QByteArray output;
        QByteArray errorOutput;
        QString failure; // why it did not run to its end
    };
    Result start(const WinePrefix &prefix, const QString &loader, const QString &program,
                 const QStringList &arguments) const;
    QStringList programs(const WinePrefix &prefix) const;

    QString m_directory;
    int m_timeout;
    QString m_loader; // the loader m_program was chosen for
    QString m_program; // the helper that runs under it
};
