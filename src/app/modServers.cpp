#include "modServers.h"

namespace {
const QString noShell = QStringLiteral("The registry is not available.");
}

bool RegReadValue(WshShell *shell, const QString &path, RegValue *value, QString *error)
{
    if (!shell) {
        *error = noShell;
        return false;
    }
    return shell->RegRead(path, value, error);
}

bool RegWriteValue(WshShell *shell, const QString &path, const QString &value, QString *error)
{
    if (!shell) {
        *error = noShell;
        return false;
    }
    return shell->RegWrite(path, value, error);
}

QString JoinPath(const QString &directory, const QString &name)
{
    if (directory.endsWith(QLatin1Char('/')))
        return directory + name;
    return directory + QLatin1Char('/') + name;
}
