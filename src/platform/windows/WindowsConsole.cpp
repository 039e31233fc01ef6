// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Console.h"

#include <windows.h>

namespace {

// The stream's handle: the one the program was given (a file or pipe it
// was redirected to), else the console it attached to.
HANDLE streamHandle(DWORD stream)
{
    HANDLE handle = GetStdHandle(stream);
    if ((handle == nullptr || handle == INVALID_HANDLE_VALUE) && GetConsoleWindow() != nullptr) {
        handle = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            SetStdHandle(stream, handle);
    }
    return handle;
}

// A console takes the text as UTF-16, whatever its code page; a file or
// pipe gets UTF-8.
void write(DWORD stream, const QString &text)
{
    HANDLE handle = streamHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE)
        return;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring wide = text.toStdWString();
        WriteConsoleW(handle, wide.data(), DWORD(wide.size()), &written, nullptr);
    } else {
        const QByteArray bytes = text.toUtf8();
        WriteFile(handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr);
    }
}

} // namespace

void Console::attachToParent()
{
    AttachConsole(ATTACH_PARENT_PROCESS);
}

void Console::writeOutput(const QString &text)
{
    write(STD_OUTPUT_HANDLE, text);
}

void Console::writeError(const QString &text)
{
    write(STD_ERROR_HANDLE, text);
}
