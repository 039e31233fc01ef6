#pragma once

#include <QString>

// The Messenger client's automation object. Only the sign-out is used.
class Messenger
{
public:
    virtual ~Messenger() = default;
    // Signs the running client out; false and a reason on failure.
    virtual bool signOut(QString *error) = 0;
};
