// The Messenger client's stand-in in tests: a COM local server for Messenger's class whose
// automation object has one method, Signout, appending the line "Signout" to the record file.
//   msnmsgr-standin /register   registers itself as the class's local server for this user
//   msnmsgr-standin --record <file> --ready <file> [--stop <file>] [--seconds <n>] [--refuse]
//     writes the ready file once serving, then serves until the stop file exists or n (60) seconds
//     pass; --refuse: Signout fails with an exception. Any other command line exits with status 2.
#include "MessengerAutomation.h"
#include "WinRegistry.h"
#include <windows.h>
#include <ole2.h>
#include <cstdio>
#include <string>

static std::wstring recordPath;
static bool refuse = false;

static bool appendLine(const std::wstring &path, const char *line)
{
    FILE *file = _wfopen(path.c_str(), L"ab");
    const bool written = file && fputs(line, file) >= 0;
    return file && fclose(file) == 0 && written;
}

// The class object and the automation object in one, as the client has it.
static struct Messenger : IClassFactory, IDispatch
{
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override
    {
        *object = iid == IID_IDispatch ? static_cast<void *>(static_cast<IDispatch *>(this))
            : iid == IID_IUnknown || iid == IID_IClassFactory ? static_cast<IClassFactory *>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives as long as the process
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown *outer, REFIID iid, void **object) override
    {
        return outer ? (*object = nullptr, CLASS_E_NOAGGREGATION) : QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT *count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo **info) override { return *info = nullptr, E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR *names, UINT count, LCID, DISPID *ids) override
    {
        for (UINT i = 0; i < count; ++i)
            ids[i] = count == 1 && _wcsicmp(names[0], L"Signout") == 0 ? 1 : DISPID_UNKNOWN;
        return ids[0] == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS *arguments, VARIANT *,
                                     EXCEPINFO *exception, UINT *) override
    {
        if (id != 1 || !(flags & DISPATCH_METHOD))
            return DISP_E_MEMBERNOTFOUND;
        if (arguments && arguments->cArgs)
            return DISP_E_BADPARAMCOUNT;
        if (!refuse)
            return appendLine(recordPath, "Signout\n") ? S_OK : E_FAIL;
        if (exception)
            *exception = {0, 0, SysAllocString(L"Messenger"), SysAllocString(L"Not signed in"), 0, 0, 0, 0, E_FAIL};
        return DISP_E_EXCEPTION;
    }
} messenger;

int wmain(int argc, wchar_t **argv)
{
    using namespace nexolan::win32;
    std::wstring readyPath, stopPath, seconds = L"60", errorText;
    if (argc == 2 && _wcsicmp(argv[1], L"/register") == 0) {
        wchar_t path[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
        const std::wstring key = std::wstring(L"HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\") + messengerClassId;
        if (length > 0 && length < MAX_PATH && writeRegistryText(key + L"\\LocalServer32\\", path, errorText))
            return 0;
        return fwprintf(stderr, L"msnmsgr-standin: cannot register: %ls\n", errorText.c_str()), 1;
    }
    const std::pair<const wchar_t *, std::wstring *> options[] = {
        {L"--record", &recordPath}, {L"--ready", &readyPath}, {L"--stop", &stopPath}, {L"--seconds", &seconds}};
    for (int i = 1; i < argc; ++i) {
        std::wstring *value = nullptr;
        for (const auto &option : options)
            value = i + 1 < argc && wcscmp(argv[i], option.first) == 0 ? option.second : value;
        if (value)
            *value = argv[++i];
        else if (wcscmp(argv[i], L"--refuse") == 0)
            refuse = true;
        else
            return 2;
    }
    if (recordPath.empty() || readyPath.empty())
        return 2;

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    CLSID classId;
    DWORD cookie = 0;
    HRESULT result = CLSIDFromString(messengerClassId, &classId);
    if (SUCCEEDED(result))
        result = CoRegisterClassObject(classId, static_cast<IClassFactory *>(&messenger), CLSCTX_LOCAL_SERVER,
                                       REGCLS_MULTIPLEUSE, &cookie);
    if (FAILED(result) || !appendLine(readyPath, "ready\n"))
        return fwprintf(stderr, L"msnmsgr-standin: cannot serve: 0x%08lX\n", static_cast<unsigned long>(result)), 1;
    // Calls arrive as messages to this apartment; a timer looks for the end now and then.
    const ULONGLONG deadline = GetTickCount64() + wcstoul(seconds.c_str(), nullptr, 10) * 1000ULL;
    SetTimer(nullptr, 0, 100, nullptr);
    for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;) {
        if (message.message != WM_TIMER || message.hwnd)
            DispatchMessageW(&message);
        else if (GetTickCount64() >= deadline
                 || (!stopPath.empty() && GetFileAttributesW(stopPath.c_str()) != INVALID_FILE_ATTRIBUTES))
            PostQuitMessage(0);
    }
    CoRevokeClassObject(cookie);
    CoUninitialize();
    return 0;
}
