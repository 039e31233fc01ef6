// SPDX-License-Identifier: GPL-3.0-or-later
// The Messenger client's stand-in in tests: a COM local server for Messenger's class whose automation object has one
// method, Signout, appending the line "Signout" to the record file. /register: registers itself for this user.
// --record <file> --ready <file> [--stop <file>] [--seconds <n>] [--refuse]: makes the ready file once serving, then
// serves until the stop file exists or n (60) seconds pass; --refuse: the first Signout fails with an exception.
#include "MessengerAutomation.h"
#include "WinRegistry.h"
#include <windows.h>
#include <ole2.h>
#include <cstdio>
#include <string>

using namespace nexolan::win32;
static std::wstring recordPath, readyPath, stopPath, seconds = L"60";
static bool refuse = false;

// The class object and the automation object in one, as the client has it.
static struct Messenger : IClassFactory, IDispatch
{
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IDispatch                        ? static_cast<void *>(static_cast<IDispatch *>(this))
            : iid == IID_IUnknown || iid == IID_IClassFactory ? static_cast<IClassFactory *>(this)
                                                              : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives as long as the process
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    // Called by COM itself, never with an outer object.
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *, REFIID iid, void **object) override
    {
        return QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *) override { return E_NOTIMPL; } // the helper needs no type info
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        *ids = count == 1 && _wcsicmp(*names, L"Signout") == 0 ? 1 : DISPID_UNKNOWN; // Signout, no argument names
        return *ids == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *arguments, VARIANT *,
                                     EXCEPINFO *exception, UINT *) override
    {
        if (id != 1 || !(flags & DISPATCH_METHOD) || (arguments && arguments->cArgs))
            return DISP_E_MEMBERNOTFOUND;
        if (!refuse) {
            FILE *record = _wfopen(recordPath.c_str(), L"ab");
            const bool written = record && fputs("Signout\n", record) >= 0;
            return record && fclose(record) == 0 && written ? S_OK : E_FAIL; // closed whether or not written
        }
        refuse = false;
        if (exception)
            *exception = {0, 0, SysAllocString(L"Messenger"), SysAllocString(L"Not signed in"), 0, 0, 0, 0, E_FAIL};
        return DISP_E_EXCEPTION;
    }
} messenger;

int wmain(int argc, wchar_t **argv)
{
    if (argc == 2 && _wcsicmp(argv[1], L"/register") == 0) {
        wchar_t path[MAX_PATH];
        std::wstring errorText, key = L"HKCU\\Software\\Classes\\CLSID\\" + std::wstring(messengerClassId);
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        return writeRegistryText(key + L"\\LocalServer32\\", path, errorText) ? 0 : 1;
    }
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        std::wstring *value = option == L"--record" ? &recordPath
            : option == L"--ready"                  ? &readyPath
            : option == L"--stop"                   ? &stopPath
            : option == L"--seconds"                ? &seconds
                                                    : nullptr;
        if (option == L"--refuse")
            refuse = true;
        else if (value && i + 1 < argc)
            *value = argv[++i];
    }
    CLSID classId;
    DWORD cookie = 0;
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSIDFromString(messengerClassId, &classId);
    // Unchecked: where it fails, the sign-outs the tests then ask for fail.
    CoRegisterClassObject(classId, static_cast<IClassFactory *>(&messenger), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                          &cookie);
    CloseHandle(CreateFileW(readyPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr));
    // Calls arrive as messages to this thread; a timer looks for the end now and then.
    const ULONGLONG deadline = GetTickCount64() + wcstoul(seconds.c_str(), nullptr, 10) * 1000ULL;
    SetTimer(nullptr, 0, 100, nullptr);
    for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;) {
        if (message.message != WM_TIMER || message.hwnd)
            DispatchMessageW(&message);
        else if (GetTickCount64() >= deadline || GetFileAttributesW(stopPath.c_str()) != INVALID_FILE_ATTRIBUTES)
            PostQuitMessage(0);
    }
    return 0; // COM goes with the process
}
