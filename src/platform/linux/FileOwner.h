// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFileDevice;

// Gives a new store file, before it replaces the old one, the old file's
// owner, group and permissions, so that a copy of the program run by root
// never takes a user's file over (StoreFile::KeepOwner). False, with a
// reason, when they cannot be given (an owner that only root can set).
bool keepFileOwner(QFileDevice &newFile, const QString &oldPath, QString *reason);

// The name of a user, or the number when it has none.
QString userName(uint userId);
