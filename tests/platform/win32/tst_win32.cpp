// Sign-out failing against the stand-in under Wine (run-wine-tests.sh; it succeeds in tst_wineprefix through the
// helper). Usage: tst_win32 <stand-in exe> <scratch directory>; last line "N passed, N failed".
#include "MessengerAutomation.h"
#include <windows.h>
#include <cstdio>
#include <string>

using namespace nexolan::win32;
static int passed = 0, failed = 0;

static void check(bool ok, const std::wstring &what) { ok ? ++passed : ++failed && wprintf(L"FAIL: %ls\n", &what[0]); }
static bool has(const std::wstring &text, const wchar_t *piece) { return text.find(piece) != std::wstring::npos; }

static HANDLE start(std::wstring commandLine) // null when it does not start; ended by the Wine test script
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    return CloseHandle(process.hThread), process.hProcess;
}

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3)
        return fputs("usage: tst_win32 <stand-in exe> <scratch directory>\n", stderr), 2;
    const std::wstring standin = L"\"" + std::wstring(argv[1]) + L"\" ", dir = argv[2];
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Classes\\CLSID\\") + messengerClassId).c_str());
    check(!isMessengerClassRegistered(), L"class not registered once its key is gone");
    check(WaitForSingleObject(start(standin + L"/register"), 20000) == WAIT_OBJECT_0 && isMessengerClassRegistered(),
          L"registers");
    const std::wstring record = dir + L"\\record.txt", ready = dir + L"\\ready.txt", stop = dir + L"\\stop.txt";
    const std::wstring serve = standin + L"--seconds 60 --record \"" + record + L"\" --ready \"" + ready
        + L"\" --stop \"" + stop + L"\" ";
    MessengerAutomation messenger; // one for all rounds: nothing of a former client may stay
    const struct { const wchar_t *client, *fails; } rounds[] = {
        {L"--refuse", L"calling Signout failed: Exception occurred (0x80020009): Not signed in"},
        {nullptr, L"reaching the running client failed"}, // none running any more
    };
    for (const auto &round : rounds) {
        const std::wstring what = round.client ? round.client : L"no client";
        for (const std::wstring &file : {record, ready, stop}) DeleteFileW(file.c_str());
        const HANDLE process = round.client ? start(serve + round.client) : nullptr;
        for (int i = 0; process && i < 400 && GetFileAttributesW(ready.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            Sleep(50);
        std::wstring errorText;
        const ULONGLONG begin = GetTickCount64();
        const bool ok = messenger.signOut(errorText), quick = GetTickCount64() - begin < 10000;
        check(quick && !ok && has(errorText, round.fails) && !has(errorText, L"Unknown error"),
              what + L": sign-out fails within 10 s: " + errorText);
        CloseHandle(CreateFileW(stop.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        check(!process || WaitForSingleObject(process, 10000) == WAIT_OBJECT_0, what + L": stand-in stops");
    }
    wprintf(L"%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
