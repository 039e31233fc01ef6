#include "WineRegistry.h"

#include "core/StoreFile.h"
#include "core/WineRegistryFile.h"
#include "platform/linux/FileOwner.h"

#include <QDir>

namespace {

constexpr qint64 registryFileLimit = 64 * 1024 * 1024;
const QString root = QStringLiteral("HKEY_CURRENT_USER");

// The key below HKEY_CURRENT_USER, as user.reg names it.
QString userKey(const QString &key)
{
    return key.section(QLatin1Char('\\'), 1);
}

} // namespace

WineRegistry::WineRegistry(const WinePrefix &prefix, const WineHelper &helper)
    : m_prefix(prefix)
    , m_helper(helper)
{ }

QString WineRegistry::location() const
{
    return QDir::toNativeSeparators(m_prefix.path());
}

bool WineRegistry::readFile(QByteArray *content, QString *error) const
{
    const QString path = m_prefix.userRegistryPath();
    const StoreFile::ReadStatus status = StoreFile::read(path, registryFileLimit, content, error);
    if (status == StoreFile::ReadStatus::Missing)
        *error = QStringLiteral("The Wine prefix %1 has no user.reg.").arg(location());
    return status == StoreFile::ReadStatus::Ok;
}

bool WineRegistry::read(const QString &path, RegistryValue *value, QString *error)
{
    QString key, name;
    if (!splitRegistryPath(path, &key, &name, error))
        return false;
    if (const std::optional<WineServer> server = m_prefix.server())
        return readThroughServer(*server, path, value, error);
    QByteArray content;
    return readFile(&content, error) && WineRegistryFile(content, root).read(userKey(key), name, value, error);
}

bool WineRegistry::write(const QString &path, const QString &value, QString *error)
{
    QString key, name;
    if (!splitRegistryPath(path, &key, &name, error))
        return false;
    if (const std::optional<WineServer> server = m_prefix.server())
        return writeThroughServer(*server, path, value, error);
    {
        const QString file = m_prefix.userRegistryPath();
        StoreLock lock(file);
        QByteArray content;
        if (!lock.lock(error) || !readFile(&content, error))
            return false;
        WineRegistryFile registry(content, root);
        if (!registry.setText(userKey(key), name, value, QDateTime::currentDateTimeUtc(), error)) {
            *error = QStringLiteral("Cannot change %1: %2").arg(QDir::toNativeSeparators(file), *error);
            return false;
        }
        if (!StoreFile::replace(file, registry.content(), error, keepFileOwner))
            return false;
    }
    // A server that started meanwhile may hold the old file, and would save
    // it over the new one: the value goes through it too.
    if (const std::optional<WineServer> server = m_prefix.server())
        return writeThroughServer(*server, path, value, error);
    return true;
}

bool WineRegistry::readThroughServer(const WineServer &server, const QString &path, RegistryValue *value,
                                          QString *error)
{
    QByteArray output;
    if (!m_helper.run(m_prefix, server, {QStringLiteral("read"), path}, &output, error))
        return false;
    // "text <hex of UTF-8>" or "number <decimal>", one line.
    const QByteArray line = output.trimmed();
    bool ok = false;
    if (line.startsWith("text ")) {
        const QByteArray hex = line.mid(5);
        ok = hex.size() % 2 == 0 && QByteArray::fromHex(hex).toHex() == hex.toLower();
        *value = RegistryValue::fromText(QString::fromUtf8(QByteArray::fromHex(hex)));
    } else if (line.startsWith("number ")) {
        *value = RegistryValue::fromNumber(line.mid(7).toUInt(&ok));
    }
    if (!ok)
        *error = QStringLiteral("The helper program gave no value for %1.").arg(path);
    return ok;
}

bool WineRegistry::writeThroughServer(const WineServer &server, const QString &path, const QString &value,
                                           QString *error)
{
    QByteArray ignored;
    RegistryValue stored;
    if (!m_helper.run(m_prefix, server, {QStringLiteral("write"), path, QString::fromLatin1(value.toUtf8().toHex())},
                      &ignored, error)
        || !readThroughServer(server, path, &stored, error))
        return false;
    if (stored.kind != RegistryValue::Kind::Text || stored.text != value) {
        *error = QStringLiteral("Wine did not keep the new value of %1.").arg(path);
        return false;
    }
    return true;
}
