// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/LinkOpener.h"
#include "platform/MessageBoxes.h"

// Message boxes and web pages through Qt, on desktops that have no native
// calls of their own for them.
class DesktopServices : public MessageBoxes, public LinkOpener
{
public:
    void showMessage(const QString &text, MessageStyle style) override;
    void openUrl(const QString &url) override;
};
