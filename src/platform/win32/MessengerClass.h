// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Messenger's automation class: its ID and where COM finds its local server.
// Plain constants, no Windows header, so that the Wine side on Linux looks
// for the same registrations in a prefix's registry files.

#include <string>
#include <vector>

namespace nexolan::win32 {

// The class ID under which Messenger registers its automation object.
inline constexpr wchar_t messengerClassId[] = L"{B69003B3-C55E-4B48-836C-BC5946FC3B28}";

// The keys, below HKEY_CURRENT_USER and then below HKEY_LOCAL_MACHINE, where
// COM looks for the class's local server, in the order it looks; the
// Wow6432Node key holds those of 32-bit programs such as Messenger.
inline std::vector<std::wstring> messengerServerKeys()
{
    const std::wstring classKey = std::wstring(L"\\CLSID\\") + messengerClassId + L"\\LocalServer32";
    return {L"Software\\Classes" + classKey, L"Software\\Classes\\Wow6432Node" + classKey};
}

} // namespace nexolan::win32
