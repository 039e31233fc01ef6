// SPDX-License-Identifier: GPL-3.0-or-later
#include "Registry.h"

#include <QCoreApplication>

void ImmediateRegistry::read(const QStringList &paths, ReadDone done)
{
    QList<RegistryReading> readings;
    for (const QString &path : paths) {
        RegistryReading reading;
        reading.ok = readValue(path, &reading.value, &reading.error);
        readings.append(reading);
    }
    done(readings);
}

void ImmediateRegistry::write(const QString &path, const QString &value, WriteDone done)
{
    QString error;
    const bool written = writeValue(path, value, &error);
    // Another program may have written after this one: the caller shows
    // what is stored, not what was meant.
    RegistryReading stored;
    stored.ok = readValue(path, &stored.value, &stored.error);
    done(written, error, stored);
}

UnavailableRegistry::UnavailableRegistry(const QString &reason)
    : m_reason(reason)
{ }

bool UnavailableRegistry::readValue(const QString &, RegistryValue *, QString *error)
{
    *error = m_reason;
    return false;
}

bool UnavailableRegistry::writeValue(const QString &, const QString &, QString *error)
{
    *error = m_reason;
    return false;
}

QString UnavailableRegistry::location() const
{
    return QCoreApplication::translate("UnavailableRegistry", "none. %1").arg(m_reason);
}
