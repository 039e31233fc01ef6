// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

// The Messenger client's automation object. Only the sign-out is used.
class Messenger
{
public:
    using Done = std::function<void(bool signedOut, const QString &error)>;

    virtual ~Messenger() = default;
    // Signs the running client out; `done` gets false and a reason on
    // failure. It never blocks: `done` runs once, at once or, where another
    // program signs the client out (Wine's helper), later from the event
    // loop; not at all once the object is destroyed.
    virtual void signOut(Done done) = 0;
};
