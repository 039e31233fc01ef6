// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LinkOpener.h"
#include "platform/MessageBoxes.h"

// Message boxes and web pages through Windows itself: MessageBoxW, owned by
// the active window of the calling thread (none when there is none), and
// ShellExecuteW's "open".
class WindowsDesktop : public MessageBoxes, public LinkOpener
{
public:
    void showMessage(const QString &text, MessageStyle style) override;
    void openUrl(const QString &url) override;
};
