#pragma once

#include "Platform.h"

#include <QString>

// Reads a registry value through the shell object. A missing shell object,
// key or value is an error (false, with the reason in error).
bool RegReadValue(WshShell *shell, const QString &path, RegValue *value, QString *error);

// Writes a string value through the shell object; false and a reason on failure.
bool RegWriteValue(WshShell *shell, const QString &path, const QString &value, QString *error);

// The directory, a '/' unless the directory already ends in one, then the name.
QString JoinPath(const QString &directory, const QString &name);
