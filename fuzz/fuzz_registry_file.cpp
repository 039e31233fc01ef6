// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes writing one string value into a registry export file, under
// HKEY_CURRENT_USER. A write fails only for a control character or a UTF-16
// file cut in the middle of a character.

#include "FuzzHarness.h"

#include "core/RegistryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedWrite input(data, size);
    input.key.prepend(QLatin1String("HKEY_CURRENT_USER\\"));
    RegistryFile file(input.before);
    QString error;
    const bool written = file.write(input.key, input.name, input.text, &error);
    const bool mayFail = hasControlCharacter(input.key) || hasControlCharacter(input.name)
        || hasControlCharacter(input.text) || !TextLines(input.before).isWellFormed();
    checkWrite(input, written, mayFail, error, RegistryFile(file.content()));
    return 0;
}
