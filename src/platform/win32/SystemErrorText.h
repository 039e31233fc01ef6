// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's own text for an error code, for messages shown to the user.

#include <string>

namespace nexolan::win32 {

// Text for a Win32 error code or an HRESULT, with the code appended
// ("Access is denied (error 5)", "Class not registered (0x80040154)").
std::wstring systemErrorText(unsigned long code);

} // namespace nexolan::win32
