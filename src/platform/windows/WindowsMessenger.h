// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Messenger.h"

#include "MessengerAutomation.h"

#include <QCoreApplication>

// The Messenger client on this computer, signed out through its automation
// object. The call is made only while the client's program runs: COM would
// otherwise start the client just to sign it out. Use it on the thread that
// created it. The call into the client is made at once, and `done` runs
// before signOut() returns.
class WindowsMessenger : public Messenger
{
    Q_DECLARE_TR_FUNCTIONS(WindowsMessenger)

public:
    void signOut(Done done) override;

    // The file name of the program a LocalServer32 command line starts, such
    // as msnmsgr.exe for "C:\Program Files\MSN Messenger\msnmsgr.exe" /background;
    // empty when the line names none.
    static QString serverProgramName(const QString &commandLine);
    // The file name of the program registered for Messenger's class;
    // msnmsgr.exe when the registration cannot be read.
    static QString registeredProgramName();
    // True when a process of that file name (any case) runs.
    static bool isProgramRunning(const QString &fileName);

private:
    nexolan::win32::MessengerAutomation m_automation;
};
