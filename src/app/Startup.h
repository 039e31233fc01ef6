// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Messenger.h"
#include "platform/Registry.h"

#include <QString>

#include <functional>
#include <memory>

class MainWindow;
struct Platform;

// The two objects start-up creates; the caller keeps them until the program
// ends, as the main window uses them.
struct StartedObjects
{
    std::unique_ptr<Messenger> messenger; // null where it cannot be created
    std::unique_ptr<Registry> registry; // never null once start-up has begun
};

// The most bytes of server list that are read.
constexpr qint64 ServerListSizeLimit = 64 * 1024 * 1024;

// Gets the shown main window, or null when the program must end because the
// server list file is missing.
using StartUpDone = std::function<void(std::unique_ptr<MainWindow> window)>;

// Start-up: creates the process-wide objects, opens the start-up referral
// page, shows the one-time notice, counts the launch, checks for the server
// list file, reads the current Messenger server, fills the main window and
// shows it. The referral flag and the server setting are read first, in one
// go, without blocking: `done` runs before startUp() returns when the
// registry answers at once (a file, the Windows registry, the tests' fake),
// and later from the event loop when Wine's helper has to answer. The
// platform and the started objects must outlive the program's run.
void startUp(Platform &platform, StartedObjects &started, StartUpDone done);

// The window program: start-up in the application's event loop, then the
// main window's events. Only the ways out that the program names end it:
// closing the main window (its close box, File > Exit), and the missing
// server list. No box ends it, also a box closed while no other window shows
// and the registry's answer is still to come. Returns the exit status: 0
// once the main window is closed, 1 when the server list file is missing.
// Needs a QApplication.
int runWindowProgram(Platform &platform);

// The text of the notice shown on the first launch.
QString firstRunNotice();
