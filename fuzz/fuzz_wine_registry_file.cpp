// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes writing one string value into a Wine registry file (a prefix's
// user.reg). The written file is one that Wine still reads. A write fails
// only for a file that Wine would not read, a null character in the text or
// a key without names.

#include "FuzzHarness.h"

#include "core/WineRegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FuzzedWrite input(data, size);
    WineRegistryFile file(input.before);
    QString error;
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1796596793, Qt::UTC);
    const bool written = file.setText(input.key, input.name, input.text, now, &error);
    const bool keyWithoutNames = input.key.split(QLatin1Char('\\'), Qt::SkipEmptyParts).isEmpty();
    const bool mayFail = !file.isKnown() || input.text.contains(QChar(0)) || keyWithoutNames;
    const WineRegistryFile after(file.content());
    fuzzCheck(!written || after.isKnown(), QStringLiteral("the written file is no longer one that Wine reads"));
    checkWrite(input, written, mayFail, error, after);
    return 0;
}
