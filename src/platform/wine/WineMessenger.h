#pragma once

#include "WineHelper.h"
#include "WinePrefix.h"
#include "platform/Messenger.h"

// The Messenger client running in a Wine prefix, signed out by the helper
// program through the client's automation object. Nothing is started when
// no client runs there.
class WineMessenger : public Messenger
{
public:
    WineMessenger(const WinePrefix &prefix, const WineHelper &helper);

    bool signOut(QString *error) override;

private:
    WinePrefix m_prefix;
    WineHelper m_helper;
};
