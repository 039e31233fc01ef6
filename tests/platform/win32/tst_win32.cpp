// The Win32 layer under Wine (run-wine-tests.sh): registry round trips, sign-out against the
// stand-in. Usage: tst_win32 <stand-in exe> <scratch directory>; last line "N passed, N failed".
#include "MessengerAutomation.h"
#include "WinRegistry.h"
#include <windows.h>
#include <cstdio>
#include <string>

using namespace nexolan::win32;
using Kind = RegistryValue::Kind;
static int passed = 0, failed = 0;

static void check(bool ok, const std::wstring &what) { ok ? ++passed : ++failed && wprintf(L"FAIL: %ls\n", &what[0]); }
static bool has(const std::wstring &text, const wchar_t *piece) { return text.find(piece) != std::wstring::npos; }

#define TEST_KEY L"HKCU\\Software\\NexolanTest\\"

static void testRegistry()
{
    const DWORD port = 1863;
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\NexolanTest\\Raw", L"Port", REG_DWORD, &port, sizeof port);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\NexolanTest\\Raw", L"Unterminated", REG_SZ, L"abc", 6);
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\NexolanTest\\Raw", L"Binary", REG_BINARY, "\1\2\3", 3);
    // write: text written, then read back; fails: the read fails with that text.
    const struct { bool write; const wchar_t *path; Kind kind; std::wstring text; DWORD number = 0;
                   const wchar_t *fails = nullptr; } cases[] = {
        {true, L"HKEY_CURRENT_USER\\Software\\NexolanTest\\New\\Key\\Server", Kind::Text, L"S\u00fcd;10.0.0.1:1863"},
        {true, TEST_KEY L"Text\\Wide", Kind::Text, L"\u0421\u0435\u0440\u0432\u0435\u0440 \u4e2d\u6587 \U0001F600"},
        {true, TEST_KEY L"Text\\Digits", Kind::Text, L"1863"},
        {true, TEST_KEY L"Text\\Empty", Kind::Text, L""},
        {true, TEST_KEY L"Text\\Long", Kind::Text, std::wstring(5000, L'x')},
        {true, TEST_KEY L"Text\\", Kind::Text, L"default value"},
        {false, TEST_KEY L"Raw\\Port", Kind::Number, L"", 1863},
        {false, TEST_KEY L"Raw\\Unterminated", Kind::Text, L"abc"},
        {false, TEST_KEY L"Raw\\Binary", Kind::Text, L"", 0, L"neither text nor a number"},
        {false, TEST_KEY L"Raw\\Missing", Kind::Text, L"", 0, L"value " TEST_KEY L"Raw\\Missing does not exist"},
        {false, TEST_KEY L"Missing\\Server", Kind::Text, L"", 0, L"key " TEST_KEY L"Missing does not exist"},
        {false, L"HKEY_NOWHERE\\Software\\Server", Kind::Text, L"", 0, L"does not start with"},
    };
    for (const auto &c : cases) {
        std::wstring errorText;
        RegistryValue value;
        const bool ok = (!c.write || writeRegistryText(c.path, c.text, errorText))
            && readRegistryValue(c.path, value, errorText);
        check(c.fails ? !ok && has(errorText, c.fails)
                      : ok && value.kind == c.kind && value.text == c.text && value.number == c.number,
              c.path + (L": " + errorText));
    }
}

static HANDLE start(std::wstring commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {}; // null handles when it does not start
    CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(process.hThread);
    return process.hProcess;
}

static DWORD finish(HANDLE process, DWORD milliseconds) // its exit code; STILL_ACTIVE when it overran
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0 || !GetExitCodeProcess(process, &code))
        TerminateProcess(process, 99);
    CloseHandle(process);
    return code;
}

static std::string readFile(const std::wstring &path) // up to 63 bytes
{
    char text[64] = {};
    if (FILE *file = _wfopen(path.c_str(), L"rb"))
        fread(text, 1, sizeof text - 1, file), fclose(file);
    return text;
}

static void testSignOut(const std::wstring &standin, const std::wstring &dir)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Classes\\CLSID\\") + messengerClassId).c_str());
    check(!isMessengerClassRegistered(), L"class not registered once its key is gone");
    check(finish(start(L"\"" + standin + L"\" /register"), 20000) == 0 && isMessengerClassRegistered(), L"registers");

    const std::wstring record = dir + L"\\record.txt", ready = dir + L"\\ready.txt", stop = dir + L"\\stop.txt";
    const std::wstring serve = L"\"" + standin + L"\" --seconds 60 --record \"" + record + L"\" --ready \"" + ready
        + L"\" --stop \"" + stop + L"\" ";
    MessengerAutomation messenger; // one for all rounds: nothing of a former client may stay
    const struct { const wchar_t *client, *fails; const char *record; } rounds[] = {
        {L"", nullptr, "Signout\n"},
        {L"--refuse", L"calling Signout failed: Exception occurred (0x80020009): Not signed in", ""},
        {nullptr, L"reaching the running client failed", ""}, // none running any more
    };
    for (const auto &round : rounds) {
        const std::wstring what = round.client ? L"client '" + std::wstring(round.client) + L"'" : L"no client";
        for (const std::wstring &file : {record, ready, stop}) DeleteFileW(file.c_str());
        const HANDLE process = round.client ? start(serve + round.client) : nullptr;
        for (int i = 0; process && i < 400 && GetFileAttributesW(ready.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(50);
        std::wstring errorText;
        const ULONGLONG begin = GetTickCount64();
        const bool ok = messenger.signOut(errorText), quick = GetTickCount64() - begin < 10000;
        check(quick && (round.fails ? !ok && has(errorText, round.fails) : ok) && !has(errorText, L"Unknown error"),
              what + L": sign-out within 10 s: " + errorText);
        CloseHandle(CreateFileW(stop.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        check(!process || finish(process, 10000) == 0, what + L": stand-in stops");
        check(readFile(record) == round.record, what + L": one record line per sign-out");
    }
}

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3)
        return fputs("usage: tst_win32 <stand-in exe> <scratch directory>\n", stderr), 2;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\NexolanTest"); // from an earlier run
    testRegistry();
    testSignOut(argv[1], argv[2]);
    wprintf(L"%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
