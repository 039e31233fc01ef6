// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowsMessenger.h"

#include "MessengerClass.h"
#include "WinRegistry.h"

#include <windows.h>
#include <tlhelp32.h>

#include <QStringList>

#include <algorithm>

namespace {

const QString defaultProgramName = QStringLiteral("msnmsgr.exe");

// The default values of the class's local server registrations, in the
// order COM looks: the user's before the machine's.
QStringList serverRegistrations()
{
    QStringList paths;
    for (const char *root : {"HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"}) {
        for (const std::wstring &key : nexolan::win32::messengerServerKeys())
            paths << QLatin1String(root) + QLatin1Char('\\') + QString::fromStdWString(key) + QLatin1Char('\\');
    }
    return paths;
}

} // namespace

QString WindowsMessenger::serverProgramName(const QString &commandLine)
{
    const QString line = commandLine.trimmed();
    QString program;
    if (line.startsWith(QLatin1Char('"'))) {
        program = line.mid(1).section(QLatin1Char('"'), 0, 0);
    } else {
        // An unquoted path may hold spaces; it ends with its ".exe".
        const qsizetype exe = line.indexOf(QLatin1String(".exe"), 0, Qt::CaseInsensitive);
        program = exe >= 0 ? line.left(exe + 4) : line.section(QLatin1Char(' '), 0, 0);
    }
    const qsizetype separator = std::max(program.lastIndexOf(QLatin1Char('\\')), program.lastIndexOf(QLatin1Char('/')));
    return program.mid(separator + 1).trimmed();
}

QString WindowsMessenger::registeredProgramName()
{
    for (const QString &path : serverRegistrations()) {
        nexolan::win32::RegistryValue value;
        std::wstring errorText;
        if (nexolan::win32::readRegistryValue(path.toStdWString(), value, errorText)
            && value.kind == nexolan::win32::RegistryValue::Kind::Text) {
            const QString name = serverProgramName(QString::fromStdWString(value.text));
            return name.isEmpty() ? defaultProgramName : name;
        }
    }
    return defaultProgramName;
}

bool WindowsMessenger::isProgramRunning(const QString &fileName)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = QString::fromWCharArray(entry.szExeFile).compare(fileName, Qt::CaseInsensitive) == 0;
    CloseHandle(snapshot);
    return found;
}

void WindowsMessenger::signOut(Done done)
{
    const QString program = registeredProgramName();
    if (!isProgramRunning(program)) {
        done(false, tr("Messenger is not running (no process %1).").arg(program));
        return;
    }
    std::wstring errorText;
    const bool signedOut = m_automation.signOut(errorText);
    done(signedOut, QString::fromStdWString(errorText));
}
