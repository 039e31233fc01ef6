// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Clock;
class ProbeConnector;
class QCoreApplication;

// The program's command line, for scripts and for people without a desktop:
//
//   nexolan --test-list [--list FILE] [--jobs N] [--timeout SECONDS] [--csv]
//   nexolan --help | --help-all | --version
//
// tests every server of the list beside the program (or FILE) as Test List
// does, without a window, a box, the launch counter or a web page, and
// prints the table best first.

// True when the arguments ask for the command line rather than the window.
bool isCommandLineRun(int argc, char **argv);

// Runs it with the application's arguments and event loop. Returns the exit
// status: 0 when a server accepts MSNP9 or MSNP10, 1 when none does, 2 for a
// usage error, an unreadable list or one that gives no server.
int runCommandLine(QCoreApplication &app, const QString &defaultListPath, ProbeConnector &connector, Clock &clock);
