// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer with a message when a property does not hold; libFuzzer
// then saves the input that broke it.
#define FUZZ_CHECK(condition, message)                                                                                 \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", __FILE__, __LINE__, #condition,                    \
                         QString(message).toUtf8().toPercentEncoding(" \\/:;\"'=[]@").constData());                    \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
