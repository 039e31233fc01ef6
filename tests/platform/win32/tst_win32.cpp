// Checks of the Win32 layer, run under Wine by run-wine-tests.sh: registry
// values written and read back, and Messenger's sign-out against the
// stand-in client. Usage: tst_win32 <stand-in exe> <scratch directory>
// Prints failures, then "N passed, N failed"; exit status 1 on any failure.

#include "MessengerAutomation.h"
#include "WinRegistry.h"

#include <windows.h>

#include <cstdio>
#include <string>

using namespace nexolan::win32;

static int passed = 0, failed = 0;

#define CHECK(condition, what) check((condition), (what), __LINE__)

static void check(bool ok, const std::wstring &what, int line)
{
    ok ? ++passed : ++failed;
    if (!ok)
        wprintf(L"FAIL line %d: %ls\n", line, what.c_str());
}

static bool contains(const std::wstring &text, const wchar_t *piece)
{
    return piece && text.find(piece) != std::wstring::npos;
}

static const wchar_t testKey[] = L"Software\\NexolanTest";

static void testWrittenTextReadsBack()
{
    // A key and name each; an empty name is the key's default value.
    const struct { const wchar_t *key, *name; std::wstring text; } cases[] = {
        {L"Created\\On\\The\\Way", L"Server", L"S\u00fcd;10.0.0.1:1863"},
        {L"Text", L"Cyrillic CJK emoji", L"\u0421\u0435\u0440\u0432\u0435\u0440 \u4e2d\u6587 \U0001F600"},
        {L"Text", L"Digits", L"1863"},
        {L"Text", L"Empty", L""},
        {L"Text", L"Long", std::wstring(5000, L'x')},
        {L"Text", L"", L"default value"},
    };
    for (const auto &c : cases) {
        const std::wstring subKey = std::wstring(testKey) + L"\\" + c.key;
        const std::wstring path = L"HKEY_CURRENT_USER\\" + subKey + L"\\" + c.name;
        std::wstring errorText;
        RegistryValue value;
        CHECK(writeRegistryText(path, c.text, errorText), L"write " + path + L": " + errorText);
        CHECK(readRegistryValue(path, value, errorText) && value.kind == RegistryValue::Kind::Text
                  && value.text == c.text,
              L"read back " + path + L": " + errorText);
        DWORD type = REG_NONE;
        RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), c.name, RRF_RT_ANY, &type, nullptr, nullptr);
        CHECK(type == REG_SZ, L"stored as REG_SZ: " + path);
    }
}

static void testReadValues()
{
    const HKEY raw = [] {
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\NexolanTest\\Raw", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr);
        return key;
    }();
    const DWORD port = 1863, all = 0xFFFFFFFF;
    const BYTE binary[] = {1, 2, 3};
    RegSetValueExW(raw, L"Port", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&port), sizeof port);
    RegSetValueExW(raw, L"All", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&all), sizeof all);
    RegSetValueExW(raw, L"Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE *>(L"%SystemRoot%\\x"), 30);
    RegSetValueExW(raw, L"Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE *>(L"abc"), 6);
    RegSetValueExW(raw, L"Binary", 0, REG_BINARY, binary, sizeof binary);
    RegCloseKey(raw);

    using Kind = RegistryValue::Kind;
    const struct { const wchar_t *path; const wchar_t *errorHas; Kind kind; const wchar_t *text; DWORD number; } cases[] = {
        {L"HKEY_CURRENT_USER\\Software\\NexolanTest\\Raw\\Port", nullptr, Kind::Number, L"", 1863},
        {L"hkcu\\Software\\NexolanTest\\Raw\\Port", nullptr, Kind::Number, L"", 1863},
        {L"HKCU\\Software\\NexolanTest\\Raw\\All", nullptr, Kind::Number, L"", 0xFFFFFFFF},
        {L"HKCU\\Software\\NexolanTest\\Raw\\Expand", nullptr, Kind::Text, L"%SystemRoot%\\x", 0},
        {L"HKCU\\Software\\NexolanTest\\Raw\\Unterminated", nullptr, Kind::Text, L"abc", 0},
        {L"HKCU\\Software\\NexolanTest\\Raw\\Binary", L"neither text nor a number", Kind::Text, L"", 0},
        {L"HKCU\\Software\\NexolanTest\\Raw\\Missing", L"value HKCU\\Software\\NexolanTest\\Raw\\Missing does not exist",
         Kind::Text, L"", 0},
        {L"HKCU\\Software\\NexolanTest\\Missing\\Server", L"key HKCU\\Software\\NexolanTest\\Missing does not exist",
         Kind::Text, L"", 0},
        {L"HKEY_NOWHERE\\Software\\Server", L"does not start with", Kind::Text, L"", 0},
        {L"Server", L"does not start with", Kind::Text, L"", 0},
    };
    for (const auto &c : cases) {
        RegistryValue value;
        std::wstring errorText;
        const bool ok = readRegistryValue(c.path, value, errorText);
        if (c.errorHas)
            CHECK(!ok && contains(errorText, c.errorHas), std::wstring(L"read fails: ") + c.path + L": " + errorText);
        else
            CHECK(ok && value.kind == c.kind && value.text == c.text && value.number == c.number,
                  std::wstring(L"read ") + c.path + L": " + errorText);
    }
}

// Polls until done() or the time runs out; true when done.
template <typename Done>
static bool waitUntil(Done done, DWORD milliseconds)
{
    for (const ULONGLONG end = GetTickCount64() + milliseconds; !done(); Sleep(50))
        if (GetTickCount64() > end)
            return false;
    return true;
}

static HANDLE start(const std::wstring &exe, const std::wstring &arguments)
{
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// The process's exit code, or STILL_ACTIVE after ending one that overran.
static DWORD finish(HANDLE process, DWORD milliseconds)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process, milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        TerminateProcess(process, 99);
    CloseHandle(process);
    return code;
}

static bool exists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

static std::string readFile(const std::wstring &path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    std::string content;
    char buffer[4096];
    DWORD size = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &size, nullptr) && size)
        content.append(buffer, size);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return content;
}

static void testRegistration(const std::wstring &standin)
{
    const std::wstring classKey = std::wstring(L"Software\\Classes\\CLSID\\") + messengerClassId;
    RegDeleteTreeW(HKEY_CURRENT_USER, classKey.c_str());
    CHECK(!isMessengerClassRegistered(), L"class not registered once its key is gone");
    const HANDLE process = start(standin, L"/register");
    CHECK(process && finish(process, 20000) == 0, L"stand-in registers itself");
    CHECK(isMessengerClassRegistered(), L"class registered by the stand-in");
}

static void testSignOut(const std::wstring &standin, const std::wstring &scratch)
{
    const std::wstring record = scratch + L"\\record.txt", ready = scratch + L"\\ready.txt",
                       stop = scratch + L"\\stop.txt";
    // One automation object for all rounds: nothing of a former client stays.
    MessengerAutomation messenger;
    const struct { const wchar_t *what, *options; int calls; const wchar_t *errorHas; } rounds[] = {
        {L"no client running", nullptr, 1, L"reaching the running client failed"},
        {L"client running", L"", 3, nullptr},
        {L"client has quit", nullptr, 1, L"reaching the running client failed"},
        {L"client refuses", L"--refuse", 1, L"calling Signout failed: Exception occurred (0x80020009): Not signed in"},
        {L"client running again", L"", 1, nullptr},
    };
    for (const auto &round : rounds) {
        const std::wstring what = round.what;
        for (const std::wstring &file : {record, ready, stop})
            DeleteFileW(file.c_str());
        HANDLE process = nullptr;
        if (round.options) {
            process = start(standin, L"--record \"" + record + L"\" --ready \"" + ready + L"\" --stop \"" + stop
                                         + L"\" --seconds 60 " + round.options);
            CHECK(process && waitUntil([&] { return exists(ready); }, 20000), what + L": stand-in ready");
        }
        for (int call = 0; call < round.calls; ++call) {
            std::wstring errorText;
            const ULONGLONG begin = GetTickCount64();
            const bool ok = messenger.signOut(errorText);
            const ULONGLONG took = GetTickCount64() - begin;
            if (round.errorHas)
                CHECK(!ok && contains(errorText, round.errorHas) && !contains(errorText, L"Unknown error"),
                      what + L": fails with its step and a known reason: " + errorText);
            else
                CHECK(ok, what + L": signs out: " + errorText);
            CHECK(took < 10000, what + L": within 10 s, took " + std::to_wstring(took) + L" ms");
        }
        if (process) {
            CloseHandle(CreateFileW(stop.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            CHECK(finish(process, 10000) == 0, what + L": stand-in stops");
        }
        std::string expected;
        for (int call = 0; call < round.calls && !round.errorHas; ++call)
            expected += "Signout\n";
        CHECK(readFile(record) == expected, what + L": one record line per successful call");
    }
}

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3) {
        fputs("usage: tst_win32 <stand-in exe> <scratch directory>\n", stderr);
        return 2;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, testKey);
    testWrittenTextReadsBack();
    testReadValues();
    RegDeleteTreeW(HKEY_CURRENT_USER, testKey);
    testRegistration(argv[1]);
    testSignOut(argv[1], argv[2]);
    wprintf(L"%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
