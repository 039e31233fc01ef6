// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer with a message when a property does not hold; libFuzzer
// then saves the input that broke it, and its stack trace says which check.
inline void fuzzCheck(bool holds, const QString &message)
{
    if (holds)
        return;
    std::fprintf(stderr, "check failed: %s\n", message.toUtf8().toPercentEncoding(" \\/:;\"'=[]@").constData());
    std::abort();
}
