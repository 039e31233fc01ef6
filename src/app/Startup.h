#pragma once

#include <QString>

#include <memory>

class MainWindow;
struct AppGlobals;
struct Platform;

// The most bytes of server list that are read.
constexpr qint64 ServerListSizeLimit = 64 * 1024 * 1024;

// Start-up: creates the process-wide objects, opens the start-up referral
// page, shows the one-time notice, counts the launch, checks for the server
// list file, reads the current Messenger server, fills the main window and
// shows it. Returns the shown window, or null when the program must end
// because the server list file is missing.
std::unique_ptr<MainWindow> startUp(Platform &platform, AppGlobals &globals);

// The text of the notice shown on the first launch.
QString firstRunNotice();
