// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A source of time readings in seconds. Only differences of two readings
// mean anything. Tests pass a clock they set by hand.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double seconds() = 0;
};
