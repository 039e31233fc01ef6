#include "WindowsDesktop.h"

#define NOMINMAX 1 // as libstdc++ defines it for mingw-w64
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

// The box styles are Windows' own flags, so they pass through unchanged.
static_assert(BoxStyle::ErrorIcon == MB_ICONHAND && BoxStyle::InformationIcon == MB_ICONASTERISK
              && BoxStyle::SystemModal == MB_SYSTEMMODAL);

void WindowsDesktop::ShowMessageBox(const QString &text, int style)
{
    const std::wstring wideText = text.toStdWString(), title = ApplicationTitle.toStdWString();
    MessageBoxW(GetActiveWindow(), wideText.c_str(), title.c_str(), MB_OK | UINT(style));
}

void WindowsDesktop::ShellOpen(const QString &url)
{
    // SW_SHOWNORMAL: the browser's window is shown and activated at its
    // normal size and place, as when the user opens a page.
    const std::wstring target = url.toStdWString();
    ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
