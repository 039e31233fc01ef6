// SPDX-License-Identifier: GPL-3.0-or-later
#include "SteadyClock.h"

#include <chrono>

double SteadyClock::seconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
