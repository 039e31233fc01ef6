// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessengerAutomation.h"

#include "MessengerClass.h"
#include "SystemErrorText.h"

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

namespace nexolan::win32 {

bool isMessengerClassRegistered()
{
    // KEY_WOW64_64KEY shows a 32-bit build the 64-bit view too.
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const std::wstring &path : messengerServerKeys()) {
            HKEY key;
            if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS) {
                RegCloseKey(key);
                return true;
            }
        }
    }
    return false;
}

MessengerAutomation::MessengerAutomation()
    : m_comStatus(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))
    , m_ownsCom(SUCCEEDED(m_comStatus))
{
    // A thread already in the multithreaded apartment can still make the calls.
    if (m_comStatus == RPC_E_CHANGED_MODE)
        m_comStatus = S_OK;
}

MessengerAutomation::~MessengerAutomation()
{
    if (m_ownsCom)
        CoUninitialize();
}

static std::wstring failure(const wchar_t *step, HRESULT result)
{
    return std::wstring(L"Messenger: ") + step + L" failed: " + systemErrorText(static_cast<unsigned long>(result));
}

bool MessengerAutomation::signOut(std::wstring &errorText)
{
    if (FAILED(m_comStatus)) {
        errorText = failure(L"starting COM", m_comStatus);
        return false;
    }
    // A new connection for each call: the client may have quit or restarted
    // since the last one.
    struct Connection
    {
        IDispatch *object = nullptr;
        ~Connection()
        {
            if (object)
                object->Release();
        }
    } messenger;
    CLSID classId;
    HRESULT result = CLSIDFromString(messengerClassId, &classId);
    if (SUCCEEDED(result))
        result = CoCreateInstance(classId, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void **>(&messenger.object));
    if (FAILED(result) || !messenger.object) {
        messenger.object = nullptr;
        errorText = failure(L"reaching the running client", result);
        return false;
    }

    wchar_t name[] = L"Signout";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    result = messenger.object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result)) {
        errorText = failure(L"looking up Signout", result);
        return false;
    }

    DISPPARAMS noArguments = {nullptr, nullptr, 0, 0};
    VARIANT returned;
    VariantInit(&returned);
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    result = messenger.object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &noArguments, &returned,
                                      &exception, &badArgument);
    VariantClear(&returned);
    if (result == DISP_E_EXCEPTION && exception.pfnDeferredFillIn)
        exception.pfnDeferredFillIn(&exception);
    if (FAILED(result)) {
        errorText = failure(L"calling Signout", result);
        if (result == DISP_E_EXCEPTION && exception.bstrDescription && *exception.bstrDescription)
            errorText += std::wstring(L": ") + exception.bstrDescription;
        else if (result == DISP_E_EXCEPTION && FAILED(exception.scode))
            errorText += L": " + systemErrorText(static_cast<unsigned long>(exception.scode));
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return SUCCEEDED(result);
}

} // namespace nexolan::win32
