// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads and writes one registry value named by its full path, such as
// HKEY_CURRENT_USER\Software\Microsoft\MSNMessenger\Server: the last component is
// the value's name, the rest its key. A path ending in a backslash names the
// key's default value. Roots: HKEY_CURRENT_USER (HKCU), HKEY_LOCAL_MACHINE (HKLM).
// No Windows header is needed to use this one.

#include <cstdint>
#include <string>

namespace nexolan::win32 {

struct RegistryValue
{
    enum class Kind { Text, Number };
    Kind kind = Kind::Text;
    std::wstring text; // REG_SZ, and REG_EXPAND_SZ as stored (not expanded)
    std::uint32_t number = 0; // REG_DWORD
};

// Each returns false and sets errorText when it fails; a missing key or value
// is a failure.
bool readRegistryValue(const std::wstring &path, RegistryValue &value, std::wstring &errorText);
// Stores text as REG_SZ, creating the key when it does not exist.
bool writeRegistryText(const std::wstring &path, const std::wstring &text, std::wstring &errorText);

} // namespace nexolan::win32
