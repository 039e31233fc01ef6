#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer with a message when a property does not hold; libFuzzer
// then saves the input that broke it. Control characters in the message
// show as \xNN.
#define FUZZ_CHECK(condition, message)                                                                   \
    do {                                                                                                 \
        if (!(condition)) {                                                                              \
            QString shown;                                                                               \
            for (const QChar ch : QString(message))                                                      \
                shown += ch.unicode() < 0x20 ? QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QChar('0')) \
                                             : QString(ch);                                              \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", __FILE__, __LINE__, #condition,     \
                         shown.toUtf8().constData());                                                    \
            std::abort();                                                                                \
        }                                                                                                \
    } while (false)
