// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemErrorText.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>

namespace nexolan::win32 {

static std::wstring formatMessage(DWORD code)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM
                                            | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t *>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", buffer ? length : 0);
    LocalFree(buffer);
    // Messages end with a full stop and a line break; ours go on after them.
    while (!text.empty() && (std::iswspace(text.back()) || text.back() == L'.'))
        text.pop_back();
    for (wchar_t &c : text)
        if (c == L'\r' || c == L'\n')
            c = L' ';
    return text;
}

// Windows' texts for the COM errors a sign-out meets; Wine has no message
// for several of them.
static const wchar_t *comErrorText(unsigned long code)
{
    static const struct
    {
        HRESULT code;
        const wchar_t *text;
    } texts[] = {
        {REGDB_E_CLASSNOTREG, L"Class not registered"},
        {CO_E_SERVER_EXEC_FAILURE, L"Server execution failed"},
        {E_NOINTERFACE, L"No such interface supported"},
        {RPC_E_DISCONNECTED, L"The object invoked has disconnected from its clients"},
        {RPC_E_SERVERFAULT, L"The server threw an exception"},
        {RPC_E_CALL_REJECTED, L"Call was rejected by callee"},
        {DISP_E_EXCEPTION, L"Exception occurred"},
        {DISP_E_UNKNOWNNAME, L"Unknown name"},
        {DISP_E_MEMBERNOTFOUND, L"Member not found"},
    };
    for (const auto &entry : texts)
        if (static_cast<unsigned long>(entry.code) == code)
            return entry.text;
    return L"Unknown error";
}

std::wstring systemErrorText(unsigned long code)
{
    const bool isHresult = code > 0xFFFF;
    std::wstring text = formatMessage(code);
    // Some systems know a Win32 error only by its own code, not wrapped in an HRESULT.
    if (text.empty() && isHresult && HRESULT_FACILITY(code) == FACILITY_WIN32)
        text = formatMessage(HRESULT_CODE(code));
    if (text.empty())
        text = comErrorText(code);
    wchar_t number[32];
    std::swprintf(number, 32, isHresult ? L" (0x%08lX)" : L" (error %lu)", code);
    return text + number;
}

} // namespace nexolan::win32
