// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WineHelper.h"
#include "WinePrefix.h"
#include "platform/Messenger.h"

#include <QCoreApplication>

// The Messenger client running in a Wine prefix, signed out by the helper
// program through the client's automation object, without blocking. Nothing
// is started when no client runs there.
class WineMessenger : public Messenger
{
    Q_DECLARE_TR_FUNCTIONS(WineMessenger)

public:
    WineMessenger(const WinePrefix &prefix, const QString &helperDirectory);

    void signOut(Done done) override;

private:
    WinePrefix m_prefix;
    WineHelper m_helper; // its runs, and their answers, end with this object
};
