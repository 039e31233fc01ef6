// A stand-in for the Messenger client in tests: a COM local server for the
// Messenger class whose automation object knows one method, Signout. Each
// call appends the line "Signout" to a record file.
//
//   msnmsgr-standin /register
//       registers this program as the class's local server for this user
//   msnmsgr-standin --record <file> --ready <file> [--stop <file>] [--seconds <n>] [--refuse]
//       serves until the stop file exists or n seconds (default 60) have
//       passed; writes the ready file once the class object is registered.
//       --refuse makes Signout fail with an exception, as a client would
//       that cannot sign out.
// Started any other way (as COM does, with -Embedding) it exits with status 2.

#include "MessengerAutomation.h"
#include "WinRegistry.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::wstring recordPath;
bool refuse = false;
const DISPID signoutId = 1;

bool fileExists(const std::wstring &path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool appendLine(const std::wstring &path, const char *line)
{
    const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, line, DWORD(strlen(line)), &written, nullptr);
    CloseHandle(file);
    return ok;
}

// One object for the whole process, as the real client hands out.
class Messenger final : public IDispatch
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IDispatch ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override
    {
        *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        if (count == 1 && _wcsicmp(names[0], L"Signout") == 0)
            ids[0] = signoutId;
        return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *arguments, VARIANT *,
                                     EXCEPINFO *exception, UINT *) override
    {
        if (id != signoutId || !(flags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        if (arguments && arguments->cArgs)
            return DISP_E_BADPARAMCOUNT;
        if (refuse) {
            if (exception) {
                *exception = {};
                exception->bstrSource = SysAllocString(L"Messenger");
                exception->bstrDescription = SysAllocString(L"Not signed in");
                exception->scode = E_FAIL;
            }
            return DISP_E_EXCEPTION;
        }
        return appendLine(recordPath, "Signout\n") ? S_OK : E_FAIL;
    }
} messenger;

class Factory final : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        *object = nullptr;
        return outer ? CLASS_E_NOAGGREGATION : messenger.QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
} factory;

int registerServer()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring errorText;
    const std::wstring key = std::wstring(L"HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\")
        + nexolan::win32::messengerClassId + L"\\LocalServer32\\";
    if (length == 0 || length == MAX_PATH || !nexolan::win32::writeRegistryText(key, path, errorText)) {
        fwprintf(stderr, L"msnmsgr-standin: cannot register: %ls\n", errorText.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc == 2 && _wcsicmp(argv[1], L"/register") == 0)
        return registerServer();

    std::wstring readyPath, stopPath;
    unsigned long seconds = 60;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        const bool hasValue = i + 1 < argc;
        if (option == L"--record" && hasValue)
            recordPath = argv[++i];
        else if (option == L"--ready" && hasValue)
            readyPath = argv[++i];
        else if (option == L"--stop" && hasValue)
            stopPath = argv[++i];
        else if (option == L"--seconds" && hasValue)
            seconds = wcstoul(argv[++i], nullptr, 10);
        else if (option == L"--refuse")
            refuse = true;
        else
            return 2;
    }
    if (recordPath.empty() || readyPath.empty())
        return 2;

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID classId;
    DWORD cookie = 0;
    HRESULT result = CLSIDFromString(nexolan::win32::messengerClassId, &classId);
    if (SUCCEEDED(result))
        result = CoRegisterClassObject(classId, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie);
    if (FAILED(result) || !appendLine(readyPath, "ready\n")) {
        fwprintf(stderr, L"msnmsgr-standin: cannot serve: 0x%08lX\n", static_cast<unsigned long>(result));
        return 1;
    }

    // Calls arrive as messages of this thread's apartment; a timer looks for
    // the end of the run now and then.
    const ULONGLONG deadline = GetTickCount64() + seconds * 1000ULL;
    SetTimer(nullptr, 0, 100, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && !message.hwnd) {
            if (GetTickCount64() >= deadline || (!stopPath.empty() && fileExists(stopPath)))
                PostQuitMessage(0);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    CoRevokeClassObject(cookie);
    CoUninitialize();
    return 0;
}
