// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Clock.h"

// The monotonic clock of the machine: it never jumps with the wall clock
// (midnight, daylight saving, a user's correction).
class SteadyClock : public Clock
{
public:
    double seconds() override;
};
