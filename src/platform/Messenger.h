#pragma once

#include <QString>

// The Messenger client's automation object. Only the sign-out is used.
class IMessenger
{
public:
    virtual ~IMessenger() = default;
    // Signs the running client out; false and a reason on failure.
    virtual bool Signout(QString *error) = 0;
};
