// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FuzzCheck.h"

#include "core/TextLines.h"

// Checks that a write kept every line of `before` in `after`, in order, with
// its line ending: all but value lines (the replaced one among them), the
// lines they continue onto and the lines mayChange(text) names. lasting(text)
// is what of a line must stay. The last line may have got a line break (a
// lone CR there becomes part of it).
template<typename MayChange, typename Lasting>
void checkKeptLines(const TextLines &before, const TextLines &after, MayChange mayChange, Lasting lasting)
{
    qsizetype next = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const QString line = before.text(i).trimmed();
        const bool continued = i > 0 && before.text(i - 1).trimmed().endsWith(QLatin1Char('\\'));
        if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@')) || continued || mayChange(line))
            continue;
        const bool last = i == before.size() - 1;
        const QString kept = lasting(before.text(i));
        const auto same = [&](qsizetype j) {
            const QString now = lasting(after.text(j));
            if (last)
                return now == kept || now + QLatin1Char('\r') == kept;
            return now == kept && after.hasLineEnding(j) == before.hasLineEnding(i);
        };
        while (next < after.size() && !same(next))
            ++next;
        fuzzCheck(next < after.size(), QStringLiteral("line %1 is gone: ").arg(i) + line);
        ++next;
    }
}
