// SPDX-License-Identifier: GPL-3.0-or-later
// nexolan-messenger: the Windows side of switching Messenger's server, run by
// Nexolan under Wine (or on Windows). Values travel as hex of their UTF-8
// bytes, so neither side's code page matters.
//
//   nexolan-messenger signout              sign the running client out; prints "signed out"
//   nexolan-messenger read <path>...       prints per value "text <hex>", "number <decimal>"
//                                          or, when it cannot be read, "error <hex of the reason>"
//   nexolan-messenger write <path> <hex>   stores the text as REG_SZ, then prints the value read back
//
// Exit status 0 on success; 1 on failure (of any value read) with one line
// of UTF-8 text on stderr and "error <hex of it>" on stdout (for a read, its
// value's line); 2 for a wrong command line. Every run that gets to work
// prints at least one line on stdout: a program of the wrong architecture
// that Wine starts and ends at once prints none. Each call is one Wine
// process start, the slow part: start-up reads all its values in one call,
// and a switch writes and reads back in one.

#include "MessengerAutomation.h"
#include "WinRegistry.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>

using namespace nexolan::win32;

static std::string toUtf8(const std::wstring &text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

static std::string toHex(const std::string &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 15];
    }
    return hex;
}

// False for anything but an even count of hex digits forming valid UTF-8.
static bool fromUtf8Hex(const std::wstring &hex, std::wstring &text)
{
    if (hex.size() % 2)
        return false;
    const auto nibble = [](wchar_t c) {
        return c >= L'0' && c <= L'9' ? c - L'0'
            : c >= L'a' && c <= L'f'  ? c - L'a' + 10
            : c >= L'A' && c <= L'F'  ? c - L'A' + 10
                                      : -1;
    };
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = nibble(hex[i]), low = nibble(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        bytes += char(high * 16 + low);
    }
    text.clear();
    if (bytes.empty())
        return true;
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), nullptr, 0);
    if (size <= 0)
        return false;
    text.resize(size_t(size));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()), text.data(), size);
    return true;
}

// The reason on stderr, one line; unless the output already holds the
// failure, also "error <hex>" on stdout, which tells Nexolan that the helper
// ran (Wine fails to start a program with exit status 1 and text of its own).
static int fail(std::wstring errorText, bool toOutput = true)
{
    if (toOutput) {
        const std::string hexLine = "error " + toHex(toUtf8(errorText)) + '\n';
        fwrite(hexLine.data(), 1, hexLine.size(), stdout);
        fflush(stdout);
    }
    for (wchar_t &c : errorText)
        if (c < L' ')
            c = L' ';
    const std::string line = toUtf8(errorText) + '\n';
    fwrite(line.data(), 1, line.size(), stderr);
    return 1;
}

// Prints one line for the value: "text <hex>", "number <decimal>" or
// "error <hex of the reason>"; false for the last.
static bool printValue(const wchar_t *path, std::wstring &errorText)
{
    RegistryValue value;
    const bool read = readRegistryValue(path, value, errorText);
    std::string line;
    if (!read)
        line = "error " + toHex(toUtf8(errorText)) + '\n';
    else if (value.kind == RegistryValue::Kind::Number)
        line = "number " + std::to_string(value.number) + '\n';
    else
        line = "text " + toHex(toUtf8(value.text)) + '\n';
    fwrite(line.data(), 1, line.size(), stdout);
    return read;
}

static int usage()
{
    fputs("usage: nexolan-messenger signout | read <path>... | write <path> <utf8-hex>\n", stderr);
    return 2;
}

int wmain(int argc, wchar_t **argv)
{
    // Binary output: no carriage returns before the line feeds.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    std::wstring errorText;

    if (command == L"signout" && argc == 2) {
        MessengerAutomation messenger;
        if (!messenger.signOut(errorText))
            return fail(errorText);
        fputs("signed out\n", stdout);
        return 0;
    }
    if (command == L"read" && argc >= 3) {
        std::wstring firstError;
        for (int index = 2; index < argc; ++index) {
            if (!printValue(argv[index], errorText) && firstError.empty())
                firstError = errorText;
        }
        fflush(stdout);
        return firstError.empty() ? 0 : fail(firstError, false);
    }
    if (command == L"write" && argc == 4) {
        std::wstring text;
        if (!fromUtf8Hex(argv[3], text))
            return fail(L"The value to write is not hex of UTF-8 text.");
        if (!writeRegistryText(argv[2], text, errorText))
            return fail(errorText);
        // What the registry holds now: the caller marks what is stored.
        return printValue(argv[2], errorText) ? 0 : fail(errorText, false);
    }
    return usage();
}
