#include "RegistryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace {

const QString rootKey = QStringLiteral("HKEY_CURRENT_USER");
const QByteArray header = QByteArrayLiteral("Windows Registry Editor Version 5.00");

// A line's text without its line ending.
QString lineText(const QByteArray &line)
{
    qsizetype end = line.size();
    if (end > 0 && line.at(end - 1) == '\n')
        --end;
    if (end > 0 && line.at(end - 1) == '\r')
        --end;
    return QString::fromUtf8(line.constData(), end);
}

QByteArray lineEnding(const QByteArray &line)
{
    if (line.endsWith("\r\n"))
        return QByteArrayLiteral("\r\n");
    if (line.endsWith('\n'))
        return QByteArrayLiteral("\n");
    return QByteArray();
}

// The key named by a section header "[key]", or a null string when the line
// is no header. A deletion header "[-key]" names no key that holds values.
std::optional<QString> sectionKey(const QString &trimmed)
{
    if (!trimmed.startsWith(QLatin1Char('[')) || !trimmed.endsWith(QLatin1Char(']')))
        return std::nullopt;
    const QString key = trimmed.mid(1, trimmed.size() - 2);
    return key.startsWith(QLatin1Char('-')) ? QString() : key;
}

// Reads a quoted text with the \\ and \" escapes starting at pos (on the
// opening quote); leaves pos after the closing quote.
bool readQuoted(const QString &text, qsizetype &pos, QString *out)
{
    if (pos >= text.size() || text.at(pos) != QLatin1Char('"'))
        return false;
    out->clear();
    for (++pos; pos < text.size(); ++pos) {
        const QChar ch = text.at(pos);
        if (ch == QLatin1Char('"')) {
            ++pos;
            return true;
        }
        if (ch == QLatin1Char('\\') && pos + 1 < text.size())
            ++pos;
        out->append(text.at(pos));
    }
    return false;
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\\') || ch == QLatin1Char('"'))
            out += QLatin1Char('\\');
        out += ch;
    }
    return out + QLatin1Char('"');
}

void skipBlanks(const QString &text, qsizetype &pos)
{
    while (pos < text.size() && (text.at(pos) == QLatin1Char(' ') || text.at(pos) == QLatin1Char('\t')))
        ++pos;
}

// Splits a value line into its name ("" for the default value "@") and the
// text after '='. False for any other line.
bool splitValueLine(const QString &trimmed, QString *name, QString *data)
{
    qsizetype pos = 0;
    if (trimmed.startsWith(QLatin1Char('@'))) {
        name->clear();
        pos = 1;
    } else if (!readQuoted(trimmed, pos, name)) {
        return false;
    }
    skipBlanks(trimmed, pos);
    if (pos >= trimmed.size() || trimmed.at(pos) != QLatin1Char('='))
        return false;
    ++pos;
    skipBlanks(trimmed, pos);
    *data = trimmed.mid(pos);
    return true;
}

} // namespace

bool splitRegistryPath(const QString &path, QString *key, QString *valueName, QString *error)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    const QString keyPart = slash < 0 ? QString() : path.left(slash);
    const QString root = keyPart.section(QLatin1Char('\\'), 0, 0);
    if (slash < 0 || root.compare(rootKey, Qt::CaseInsensitive) != 0) {
        *error = QStringLiteral("Unsupported registry path \"%1\": only HKEY_CURRENT_USER is available.").arg(path);
        return false;
    }
    *key = keyPart;
    *valueName = path.mid(slash + 1);
    return true;
}

RegistryFile::RegistryFile(const QByteArray &content)
{
    m_utf16 = content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF");
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        end = end < 0 ? content.size() : end + 1;
        m_lines.append(content.mid(start, end - start));
        start = end;
    }
}

QByteArray RegistryFile::content() const
{
    return m_lines.join();
}

QByteArray RegistryFile::newline() const
{
    for (const QByteArray &line : m_lines) {
        if (line.endsWith('\n'))
            return lineEnding(line);
    }
    return QByteArrayLiteral("\r\n");
}

RegistryFile::ValueLine RegistryFile::find(const QString &key, const QString &valueName) const
{
    ValueLine found;
    bool inKey = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QString trimmed = lineText(m_lines.at(i)).trimmed();
        if (const auto section = sectionKey(trimmed)) {
            inKey = section->compare(key, Qt::CaseInsensitive) == 0;
            if (inKey)
                found.sectionEnd = i + 1;
            continue;
        }
        if (!inKey || trimmed.isEmpty())
            continue;
        found.sectionEnd = i + 1;
        QString name, data;
        if (splitValueLine(trimmed, &name, &data) && name.compare(valueName, Qt::CaseInsensitive) == 0)
            found.index = i;
    }
    return found;
}

bool RegistryFile::read(const QString &key, const QString &valueName, RegValue *value, QString *error) const
{
    const auto notFound = [&] {
        *error = QStringLiteral("The registry value \"%1\" of key \"%2\" does not exist.").arg(valueName, key);
        return false;
    };
    if (m_utf16) {
        *error = QStringLiteral("The registry file is in UTF-16; only UTF-8 files can be read.");
        return false;
    }
    const ValueLine found = find(key, valueName);
    if (found.index < 0)
        return notFound();
    QString name, data;
    splitValueLine(lineText(m_lines.at(found.index)).trimmed(), &name, &data);
    if (data == QLatin1String("-"))
        return notFound();
    if (data.startsWith(QLatin1Char('"'))) {
        qsizetype pos = 0;
        QString text;
        if (readQuoted(data, pos, &text)) {
            skipBlanks(data, pos);
            if (pos == data.size()) {
                *value = RegValue::fromText(text);
                return true;
            }
        }
    } else if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6).trimmed();
        bool ok = false;
        const quint32 number = digits.toUInt(&ok, 16);
        if (ok && !digits.isEmpty() && digits.size() <= 8) {
            *value = RegValue::fromNumber(number);
            return true;
        }
    }
    *error = QStringLiteral("The registry value \"%1\" of key \"%2\" is neither a text nor a number.").arg(valueName, key);
    return false;
}

bool RegistryFile::write(const QString &key, const QString &valueName, const QString &text, QString *error)
{
    if (m_utf16) {
        *error = QStringLiteral("The registry file is in UTF-16; only UTF-8 files can be changed.");
        return false;
    }
    // The key, the value name and the text each go on one line; a line break
    // in any of them would cut that line and start a stray header or value.
    const auto hasLineBreak = [](const QString &part) {
        return part.contains(QLatin1Char('\r')) || part.contains(QLatin1Char('\n'));
    };
    if (hasLineBreak(key) || hasLineBreak(valueName) || hasLineBreak(text)) {
        *error = QStringLiteral("The key, value name or value holds a line break, which a registry file line cannot store.");
        return false;
    }
    const QByteArray nl = newline();
    const QByteArray valueLine =
        (valueName.isEmpty() ? QStringLiteral("@") : quoted(valueName)).toUtf8() + '=' + quoted(text).toUtf8();
    // A line that gets a successor must end in a line break.
    const auto terminateBefore = [&](qsizetype pos) {
        if (pos > 0 && !m_lines.at(pos - 1).endsWith('\n'))
            m_lines[pos - 1] += nl;
    };

    const ValueLine found = find(key, valueName);
    if (found.index >= 0) {
        m_lines[found.index] = valueLine + lineEnding(m_lines.at(found.index));
    } else if (found.sectionEnd >= 0) {
        terminateBefore(found.sectionEnd);
        m_lines.insert(found.sectionEnd, valueLine + nl);
    } else {
        if (m_lines.isEmpty())
            m_lines.append(header + nl);
        terminateBefore(m_lines.size());
        if (!lineText(m_lines.last()).trimmed().isEmpty())
            m_lines.append(nl);
        m_lines.append('[' + key.toUtf8() + ']' + nl);
        m_lines.append(valueLine + nl);
    }
    return true;
}

RegistryFileShell::RegistryFileShell(const QString &filePath)
    : m_filePath(filePath)
{
}

bool RegistryFileShell::RegRead(const QString &path, RegValue *value, QString *error)
{
    QString key, valueName;
    if (!splitRegistryPath(path, &key, &valueName, error))
        return false;
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Cannot read %1: %2").arg(QDir::toNativeSeparators(m_filePath), file.errorString());
        return false;
    }
    return RegistryFile(file.readAll()).read(key, valueName, value, error);
}

bool RegistryFileShell::RegWrite(const QString &path, const QString &value, QString *error)
{
    QString key, valueName;
    if (!splitRegistryPath(path, &key, &valueName, error))
        return false;

    QByteArray content;
    QFile existing(m_filePath);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("Cannot read %1: %2").arg(m_filePath, existing.errorString());
            return false;
        }
        content = existing.readAll();
        existing.close();
    }
    RegistryFile registry(content);
    if (!registry.write(key, valueName, value, error))
        return false;

    const QString directory = QFileInfo(m_filePath).absolutePath();
    if (!QDir().mkpath(directory)) {
        *error = QStringLiteral("Cannot create the folder %1.").arg(directory);
        return false;
    }
    QSaveFile file(m_filePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(registry.content()) < 0 || !file.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(m_filePath, file.errorString());
        return false;
    }
    return true;
}
