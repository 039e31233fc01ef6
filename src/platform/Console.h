// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The text console of a command-line run.
namespace Console {

// A window program on Windows starts without a console: it takes the one of
// the program that started it, if any. Elsewhere nothing is needed.
void attachToParent();
// Writes text to standard output or standard error as it is.
void writeOutput(const QString &text);
void writeError(const QString &text);

} // namespace Console
