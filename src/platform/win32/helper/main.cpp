// nexolan-messenger: the Windows side of switching Messenger's server, run by
// Nexolan under Wine (or on Windows). Values travel as hex of their UTF-8
// bytes, so neither side's code page matters.
//
//   nexolan-messenger signout              sign the running client out
//   nexolan-messenger read <path>          prints "text <hex>" or "number <decimal>"
//   nexolan-messenger write <path> <hex>   stores the text as REG_SZ
//
// Exit status 0 on success; 1 on failure with one line of UTF-8 text on
// stderr; 2 for a wrong command line.

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

static int fail(std::wstring errorText)
{
    for (wchar_t &c : errorText)
        if (c < L' ')
            c = L' ';
    const std::string line = toUtf8(errorText) + '\n';
    fwrite(line.data(), 1, line.size(), stderr);
    return 1;
}

static int usage()
{
    fputs("usage: nexolan-messenger signout | read <path> | write <path> <utf8-hex>\n", stderr);
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
        return messenger.signOut(errorText) ? 0 : fail(errorText);
    }
    if (command == L"read" && argc == 3) {
        RegistryValue value;
        if (!readRegistryValue(argv[2], value, errorText))
            return fail(errorText);
        const std::string line = value.kind == RegistryValue::Kind::Number
            ? "number " + std::to_string(value.number) + '\n'
            : "text " + toHex(toUtf8(value.text)) + '\n';
        fwrite(line.data(), 1, line.size(), stdout);
        return 0;
    }
    if (command == L"write" && argc == 4) {
        std::wstring text;
        if (!fromUtf8Hex(argv[3], text))
            return fail(L"The value to write is not hex of UTF-8 text.");
        return writeRegistryText(argv[2], text, errorText) ? 0 : fail(errorText);
    }
    return usage();
}
