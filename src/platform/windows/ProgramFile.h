// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The full path of the running executable, with '/' separators, as the
// system reports it (GetModuleFileNameW); empty when it cannot be had.
QString programFilePath();
