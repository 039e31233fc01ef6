// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Opens web pages in the user's browser.
class LinkOpener
{
public:
    virtual ~LinkOpener() = default;
    // Opens the address; the result is not examined.
    virtual void openUrl(const QString &url) = 0;
};
