#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// The message with control characters written as \xNN, so that a NUL or a
// line break in a fuzzed text shows in the report.
inline QByteArray fuzzPrintable(const QString &message)
{
    QString out;
    for (const QChar ch : message) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            out += QStringLiteral("\\x%1").arg(ch.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += ch;
    }
    return out.toUtf8();
}

// Stops the fuzzer with a message when a property does not hold; libFuzzer
// then saves the input that broke it.
#define FUZZ_CHECK(condition, message)                                                  \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  %s\n", __FILE__, __LINE__, \
                         #condition, fuzzPrintable(QString(message)).constData());      \
            std::abort();                                                               \
        }                                                                               \
    } while (false)
