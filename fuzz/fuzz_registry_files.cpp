// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes writing one string value into both registry file formats from the
// same bytes. Into a Wine registry file (a prefix's user.reg): the written
// file is one that Wine still reads, and a write fails only for a file that
// Wine would not read, a null character in the text or a key without names.
// Into a registry export file, under HKEY_CURRENT_USER: a write fails only
// for a control character or a UTF-16 file cut in the middle of a character.

#include "FuzzHarness.h"

#include "core/RegistryFile.h"
#include "core/WineRegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedWrite input(data, size);
    QString error;
    WineRegistryFile wineFile(input.before);
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1796596793, Qt::UTC);
    bool written = wineFile.setText(input.key, input.name, input.text, now, &error);
    const bool keyWithoutNames = input.key.split(QLatin1Char('\\'), Qt::SkipEmptyParts).isEmpty();
    bool mayFail = !wineFile.isKnown() || input.text.contains(QChar(0)) || keyWithoutNames;
    const WineRegistryFile wineAfter(wineFile.content());
    fuzzCheck(!written || wineAfter.isKnown(), QStringLiteral("the written file is no longer one that Wine reads"));
    checkWrite(input, written, mayFail, error, wineAfter);

    input.key.prepend(QLatin1String("HKEY_CURRENT_USER\\"));
    RegistryFile file(input.before);
    written = file.write(input.key, input.name, input.text, &error);
    mayFail = hasControlCharacter(input.key) || hasControlCharacter(input.name) || hasControlCharacter(input.text)
        || !TextLines(input.before).isWellFormed();
    checkWrite(input, written, mayFail, error, RegistryFile(file.content()));
    return 0;
}
