// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QString>

#include <functional>

class QFileDevice;

// Reading and replacing the small per-user files the program keeps (the
// registry file, the settings), so that nothing in them is ever lost: only
// regular files are read or written (a pipe or device of that name could
// hang the program or be replaced by a file), a size limit is checked before
// reading, and a replacement either lands whole or leaves the old file as it
// was, also on a full disk.
namespace StoreFile {

enum class ReadStatus { Ok, Missing, TooLarge, Failed };

// Reads the whole file when, after following links, it is a regular file of
// at most `limit` bytes. Missing when nothing of that name exists; TooLarge,
// with an error that names the file, its size and the limit.
ReadStatus read(const QString &path, qint64 limit, QByteArray *bytes, QString *error);

// Gives the new file, before it takes the old one's place, what the
// replacement must keep of the old file besides its permissions: on systems
// whose files have owners, its owner and group. False, with a reason, when
// that cannot be done; the old file then stays.
using KeepOwner = std::function<bool(QFileDevice &newFile, const QString &oldPath, QString *reason)>;

// Replaces the file's content atomically, creating its folder as needed, and
// keeps its permissions; keepOwner, when given, keeps its owner and group. A
// link is written through only when its target is a regular file.
bool replace(const QString &path, const QByteArray &content, QString *error, const KeepOwner &keepOwner = {});

// A size as "16.0 MiB (16,777,216 bytes)".
QString sizeText(qint64 bytes);

} // namespace StoreFile

// The lock beside a store file ("<file>.lock"), held for one
// read-modify-write so that two running copies of the program cannot drop
// each other's change. It waits a short, bounded time for another holder.
class StoreLock
{
public:
    explicit StoreLock(const QString &storePath, int waitMilliseconds = 3000);
    bool lock(QString *error);

private:
    QString m_storePath;
    QLockFile m_lock;
    int m_wait;
};
