// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Startup {

// How a window is started: Main runs the program's start-up on a list of
// 32,768 records, MainNoRecords the same on an empty list, Empty shows a bare
// QMainWindow.
enum class Kind { Main, MainNoRecords, Empty };

// The number of records the start-up benchmarks load.
constexpr int recordCount = 32768;

// Writes the data files that the Main kinds read into directory; false on failure.
bool writeDataFiles(const QString &directory);

// Starts one window of the kind and runs the event loop until that window has
// been painted once; dataDirectory is one that writeDataFiles filled. Returns
// false when no paint came within the time limit. The window is destroyed,
// outside the measured time, before this returns; seconds gets the time from
// the start to the end of the first paint.
bool startAndPaint(Kind kind, const QString &dataDirectory, double *seconds);

// The body of the child process of the cold start-up benchmark: starts one
// window, prints "painted" on standard output after its first paint and
// returns the exit code.
int runChild(int argc, char **argv, const QString &kind, const QString &dataDirectory);

// The argument that makes the benchmark program act as that child.
inline const QString childOption = QStringLiteral("--startup-child");

} // namespace Startup
