// SPDX-License-Identifier: GPL-3.0-or-later
#include "WindowsDesktop.h"

#include <windows.h>
#include <shellapi.h>

namespace {

// Windows' own flags for each style.
UINT styleFlags(MessageStyle style)
{
    switch (style) {
    case MessageStyle::Error: return MB_ICONHAND;
    case MessageStyle::Information: return MB_ICONASTERISK;
    case MessageStyle::SystemModalInformation: return MB_ICONASTERISK | MB_SYSTEMMODAL;
    }
    return MB_ICONASTERISK;
}

} // namespace

void WindowsDesktop::showMessage(const QString &text, MessageStyle style)
{
    const std::wstring wideText = text.toStdWString();
    const std::wstring title = applicationTitle().toStdWString();
    MessageBoxW(GetActiveWindow(), wideText.c_str(), title.c_str(), MB_OK | styleFlags(style));
}

void WindowsDesktop::openUrl(const QString &url)
{
    // SW_SHOWNORMAL: the browser's window is shown and activated at its
    // normal size and place, as when the user opens a page.
    const std::wstring target = url.toStdWString();
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
