// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramFile.h"

#include <windows.h>

#include <QDir>

#include <vector>

QString programFilePath()
{
    // Paths may be longer than MAX_PATH; a buffer that was filled to the
    // brim may have cut the path short, so it grows and the call is repeated.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 6; ++attempt) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
        if (length == 0)
            return QString();
        if (length < buffer.size())
            return QDir::fromNativeSeparators(QString::fromWCharArray(buffer.data(), int(length)));
        buffer.resize(buffer.size() * 4);
    }
    return QString();
}
