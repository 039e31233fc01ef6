// SPDX-License-Identifier: GPL-3.0-or-later
#include "WinRegistry.h"

#include "SystemErrorText.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <vector>

namespace nexolan::win32 {

namespace {

struct ValuePath
{
    HKEY root = nullptr;
    std::wstring key; // below the root
    std::wstring name; // empty for the default value
    std::wstring keyPath; // the full path without the value's name, for messages
};

bool parsePath(const std::wstring &path, ValuePath &parsed, std::wstring &errorText)
{
    static const struct
    {
        const wchar_t *name;
        HKEY key;
    } roots[] = {
        {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
        {L"HKCU", HKEY_CURRENT_USER},
        {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
        {L"HKLM", HKEY_LOCAL_MACHINE},
    };
    const size_t first = path.find(L'\\');
    const size_t last = path.rfind(L'\\');
    if (first != std::wstring::npos) {
        const std::wstring rootName = path.substr(0, first);
        for (const auto &root : roots)
            if (_wcsicmp(rootName.c_str(), root.name) == 0)
                parsed.root = root.key;
    }
    if (!parsed.root) {
        errorText = L"The registry path " + path + L" does not start with HKEY_CURRENT_USER\\ or HKEY_LOCAL_MACHINE\\.";
        return false;
    }
    parsed.key = first < last ? path.substr(first + 1, last - first - 1) : std::wstring();
    parsed.name = path.substr(last + 1);
    parsed.keyPath = path.substr(0, last);
    return true;
}

struct KeyHandle
{
    HKEY key = nullptr;
    ~KeyHandle()
    {
        if (key)
            RegCloseKey(key);
    }
};

} // namespace

bool readRegistryValue(const std::wstring &path, RegistryValue &value, std::wstring &errorText)
{
    ValuePath parsed;
    if (!parsePath(path, parsed, errorText))
        return false;
    KeyHandle handle;
    LSTATUS status = RegOpenKeyExW(parsed.root, parsed.key.c_str(), 0, KEY_QUERY_VALUE, &handle.key);
    if (status == ERROR_FILE_NOT_FOUND) {
        errorText = L"The registry key " + parsed.keyPath + L" does not exist.";
        return false;
    }
    if (status != ERROR_SUCCESS) {
        errorText = L"Cannot open the registry key " + parsed.keyPath + L": " + systemErrorText(status);
        return false;
    }

    // The value may grow between asking for its size and reading it: a few tries.
    std::vector<BYTE> data(256);
    DWORD type = 0, size = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        size = DWORD(data.size());
        status = RegQueryValueExW(handle.key, parsed.name.c_str(), nullptr, &type, data.data(), &size);
        if (status != ERROR_MORE_DATA)
            break;
        data.resize(size + sizeof(wchar_t));
    }
    if (status == ERROR_FILE_NOT_FOUND) {
        errorText = L"The registry value " + path + L" does not exist.";
        return false;
    }
    if (status != ERROR_SUCCESS) {
        errorText = L"Cannot read the registry value " + path + L": " + systemErrorText(status);
        return false;
    }

    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        // Stored strings need not end in a null character; some end in several.
        std::wstring text(size / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        text.resize(std::wcslen(text.c_str()));
        value = {RegistryValue::Kind::Text, text, 0};
        return true;
    }
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number;
        std::memcpy(&number, data.data(), sizeof number);
        value = {RegistryValue::Kind::Number, {}, number};
        return true;
    }
    errorText = L"The registry value " + path + L" is of type " + std::to_wstring(type)
        + L", neither text nor a number.";
    return false;
}

bool writeRegistryText(const std::wstring &path, const std::wstring &text, std::wstring &errorText)
{
    ValuePath parsed;
    if (!parsePath(path, parsed, errorText))
        return false;
    if (text.find(L'\0') != std::wstring::npos) {
        errorText = L"Text for the registry value " + path + L" contains a null character.";
        return false;
    }
    KeyHandle handle;
    LSTATUS status = RegCreateKeyExW(parsed.root, parsed.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE, nullptr, &handle.key, nullptr);
    if (status != ERROR_SUCCESS) {
        errorText = L"Cannot create the registry key " + parsed.keyPath + L": " + systemErrorText(status);
        return false;
    }
    status = RegSetValueExW(handle.key, parsed.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                            DWORD((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        errorText = L"Cannot write the registry value " + path + L": " + systemErrorText(status);
        return false;
    }
    return true;
}

} // namespace nexolan::win32
