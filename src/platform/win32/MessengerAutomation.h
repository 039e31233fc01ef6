// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Signs the running Messenger client out through its automation object. The
// call is late bound (IDispatch by name), so no type library is involved.
// No Windows header is needed to use this one.

#include "MessengerClass.h"

#include <string>

namespace nexolan::win32 {

// True when a local server for the Messenger class is registered for this
// user or for the machine, in the 64-bit or the 32-bit view of the registry.
bool isMessengerClassRegistered();

class MessengerAutomation
{
public:
    // Joins a single-threaded apartment on the calling thread; use the object
    // on that thread only.
    MessengerAutomation();
    ~MessengerAutomation();
    MessengerAutomation(const MessengerAutomation &) = delete;
    MessengerAutomation &operator=(const MessengerAutomation &) = delete;

    // Connects to the running client and calls its Signout method. On
    // failure returns false with errorText naming the step that failed.
    bool signOut(std::wstring &errorText);

private:
    long m_comStatus;
    bool m_ownsCom;
};

} // namespace nexolan::win32
