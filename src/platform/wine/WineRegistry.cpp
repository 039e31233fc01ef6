// SPDX-License-Identifier: GPL-3.0-or-later
#include "WineRegistry.h"

#include "core/StoreFile.h"
#include "core/WineRegistryFile.h"
#include "platform/linux/FileOwner.h"

#include <QDir>

namespace {

const QString root = QStringLiteral("HKEY_CURRENT_USER");

// The key below HKEY_CURRENT_USER, as user.reg names it.
QString userKey(const QString &key)
{
    return key.section(QLatin1Char('\\'), 1);
}

// One line of the helper's answer: "text <hex of UTF-8>", "number <decimal>"
// or "error <hex of UTF-8>".
RegistryReading parseLine(const QByteArray &line, const QString &path)
{
    RegistryReading reading;
    const qsizetype space = line.indexOf(' ');
    const QByteArray word = line.left(space);
    const QByteArray argument = space < 0 ? QByteArray() : line.mid(space + 1);
    const bool hex = argument.size() % 2 == 0 && QByteArray::fromHex(argument).toHex() == argument.toLower();
    bool number = false;
    const uint numberValue = argument.toUInt(&number);
    if (word == "text" && hex) {
        reading.ok = true;
        reading.value = RegistryValue::fromText(QString::fromUtf8(QByteArray::fromHex(argument)));
    } else if (word == "number" && number) {
        reading.ok = true;
        reading.value = RegistryValue::fromNumber(numberValue);
    } else if (word == "error" && hex) {
        reading.error = QString::fromUtf8(QByteArray::fromHex(argument));
    } else {
        reading.error = WineRegistry::tr("The helper program gave no value for %1.").arg(path);
    }
    return reading;
}

} // namespace

WineRegistry::WineRegistry(const WinePrefix &prefix, const QString &helperDirectory, int helperTimeoutMilliseconds)
    : m_prefix(prefix)
    , m_helper(helperDirectory, helperTimeoutMilliseconds)
{ }

QString WineRegistry::location() const
{
    return QDir::toNativeSeparators(m_prefix.path());
}

RegistryReading WineRegistry::readFile(const QString &path) const
{
    RegistryReading reading;
    QString key;
    QString name;
    QByteArray content;
    if (!splitRegistryPath(path, &key, &name, &reading.error))
        return reading;
    const StoreFile::ReadStatus status = StoreFile::read(m_prefix.userRegistryPath(), WineRegistryFile::SizeLimit,
                                                         &content, &reading.error);
    if (status == StoreFile::ReadStatus::Missing)
        reading.error = tr("The Wine prefix %1 has no user.reg.").arg(location());
    if (status == StoreFile::ReadStatus::Ok)
        reading.ok = WineRegistryFile(content, root).read(userKey(key), name, &reading.value, &reading.error);
    return reading;
}

bool WineRegistry::writeFile(const QString &path, const QString &value, QString *error)
{
    QString key;
    QString name;
    if (!splitRegistryPath(path, &key, &name, error))
        return false;
    const QString file = m_prefix.userRegistryPath();
    StoreLock lock(file);
    QByteArray content;
    if (!lock.lock(error))
        return false;
    const StoreFile::ReadStatus status = StoreFile::read(file, WineRegistryFile::SizeLimit, &content, error);
    if (status == StoreFile::ReadStatus::Missing)
        *error = tr("The Wine prefix %1 has no user.reg.").arg(location());
    if (status != StoreFile::ReadStatus::Ok)
        return false;
    WineRegistryFile registry(content, root);
    if (!registry.setText(userKey(key), name, value, QDateTime::currentDateTimeUtc(), error)) {
        *error = tr("Cannot change %1: %2").arg(QDir::toNativeSeparators(file), *error);
        return false;
    }
    return StoreFile::replace(file, registry.content(), error, keepFileOwner);
}

void WineRegistry::read(const QStringList &paths, ReadDone done)
{
    if (const std::optional<WineServer> server = m_prefix.server()) {
        readThroughServer(*server, paths, std::move(done));
        return;
    }
    QList<RegistryReading> readings;
    for (const QString &path : paths)
        readings.append(readFile(path));
    done(readings);
}

void WineRegistry::write(const QString &path, const QString &value, WriteDone done)
{
    if (const std::optional<WineServer> server = m_prefix.server()) {
        writeThroughServer(*server, path, value, std::move(done));
        return;
    }
    QString error;
    const bool written = writeFile(path, value, &error);
    // A server that started meanwhile may hold the old file, and would save
    // it over the new one: the value goes through it too.
    if (const std::optional<WineServer> server = m_prefix.server(); server && written) {
        writeThroughServer(*server, path, value, std::move(done));
        return;
    }
    done(written, error, readFile(path));
}

void WineRegistry::readThroughServer(const WineServer &server, const QStringList &paths, ReadDone done)
{
    QStringList arguments{QStringLiteral("read")};
    arguments += paths;
    m_helper.run(m_prefix, server, arguments, [paths, done](const WineHelper::Result &result) {
        // A value it could not read makes the run fail; the others are read.
        const QList<QByteArray> lines = result.output.split('\n');
        QList<RegistryReading> readings;
        for (qsizetype index = 0; index < paths.size(); ++index) {
            RegistryReading reading;
            if (index < lines.size() && !lines.at(index).trimmed().isEmpty())
                reading = parseLine(lines.at(index).trimmed(), paths.at(index));
            else
                reading.error = result.ok ? tr("The helper program gave no value for %1.").arg(paths.at(index))
                                          : result.error;
            readings.append(reading);
        }
        done(readings);
    });
}

void WineRegistry::writeThroughServer(const WineServer &server, const QString &path, const QString &value,
                                      WriteDone done)
{
    const QStringList arguments{QStringLiteral("write"), path, QString::fromLatin1(value.toUtf8().toHex())};
    m_helper.run(m_prefix, server, arguments, [this, path, value, done](const WineHelper::Result &result) {
        if (!result.ok) {
            // The value may have been written before the run failed (its
            // server ended, the limit passed): what is stored is read again.
            const QString error = result.error;
            read({path},
                 [done, error](const QList<RegistryReading> &readings) { done(false, error, readings.first()); });
            return;
        }
        // The helper read the value back after writing it.
        const RegistryReading stored = parseLine(result.output.trimmed(), path);
        const bool kept = stored.ok && stored.value.kind == RegistryValue::Kind::Text && stored.value.text == value;
        done(kept, kept ? QString() : tr("Wine did not keep the new value of %1.").arg(path), stored);
    });
}
