// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Qt's text for an error it has no words for, in the user's language once
// Qt's translation is loaded.
const char *const unknownError = "Unknown error";

// A file error's reason without the file's name, which the caller puts first.
// A write that stops part of the way (a full disk) leaves Qt without a text
// ("Unknown error"): the system's own text is given then.
QString reason(const QFileDevice &file, const QString &path, int systemError = 0)
{
    QString text = file.errorString();
    if (text.contains(path) || text.contains(native(path)))
        return QCoreApplication::translate("StoreFile", "the file is not writable");
    if (systemError != 0 && (text.isEmpty() || text == QCoreApplication::translate("QIODevice", unknownError)))
        return QString::fromLocal8Bit(std::strerror(systemError));
    return text;
}

} // namespace

namespace StoreFile {

QString sizeText(qint64 bytes)
{
    QLocale english(QLocale::English);
    const QString exact = english.toString(bytes) + QStringLiteral(" bytes");
    if (bytes < 1024)
        return exact;
    return english.formattedDataSize(bytes, 1, QLocale::DataSizeIecFormat) + QStringLiteral(" (") + exact
        + QLatin1Char(')');
}

ReadStatus read(const QString &path, qint64 limit, QByteArray *bytes, QString *error)
{
    bytes->clear();
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return ReadStatus::Missing;
    if (!info.isFile()) {
        *error = QCoreApplication::translate("StoreFile", "Cannot read %1: it is not a regular file.")
                     .arg(native(path));
        return ReadStatus::Failed;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QCoreApplication::translate("StoreFile", "Cannot read %1: %2").arg(native(path), reason(file, path));
        return ReadStatus::Failed;
    }
    if (file.size() > limit) {
        *error = QCoreApplication::translate("StoreFile", "Cannot read %1: it has %2, more than the %3 that are read.")
                     .arg(native(path), sizeText(file.size()), sizeText(limit));
        return ReadStatus::TooLarge;
    }
    // Never more than the limit, even if the file grew since it was measured.
    *bytes = file.read(qMin(limit, file.size()) + 1);
    if (file.error() != QFileDevice::NoError || bytes->size() > limit) {
        *error = QCoreApplication::translate("StoreFile", "Cannot read %1: %2").arg(native(path), reason(file, path));
        bytes->clear();
        return ReadStatus::Failed;
    }
    return ReadStatus::Ok;
}

bool replace(const QString &path, const QByteArray &content, QString *error, const KeepOwner &keepOwner)
{
    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && !info.isFile()) {
        *error = QCoreApplication::translate("StoreFile", "Cannot write %1: it is not a regular file.")
                     .arg(native(path));
        return false;
    }
    const QString target = info.isSymLink() ? info.canonicalFilePath() : path;
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder)) {
        *error = QCoreApplication::translate("StoreFile", "Cannot create the folder %1.").arg(native(folder));
        return false;
    }
    QSaveFile file(target);
    // QSaveFile's commit() can report success although its last flush failed
    // (a full disk): the flush is checked first and a failure cancels the
    // replacement, leaving the old file whole. QSaveFile gives the new file
    // the old one's permissions.
    errno = 0;
    const bool written = file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.flush();
    const int systemError = errno;
    if (!written) {
        *error = QCoreApplication::translate("StoreFile", "Cannot write %1: %2")
                     .arg(native(path), reason(file, target, systemError));
        file.cancelWriting();
        return false;
    }
    QString ownerProblem;
    if (keepOwner && QFileInfo::exists(target) && !keepOwner(file, target, &ownerProblem)) {
        *error = QCoreApplication::translate("StoreFile", "Cannot write %1: %2").arg(native(path), ownerProblem);
        file.cancelWriting();
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        const int commitError = errno; // before the translation's lookup runs
        *error = QCoreApplication::translate("StoreFile", "Cannot write %1: %2")
                     .arg(native(path), reason(file, target, commitError));
        return false;
    }
    return true;
}

} // namespace StoreFile

StoreLock::StoreLock(const QString &storePath, int waitMilliseconds)
    : m_storePath(storePath)
    , m_lock(storePath + QStringLiteral(".lock"))
    , m_wait(waitMilliseconds)
{ }

bool StoreLock::lock(QString *error)
{
    QDir().mkpath(QFileInfo(m_storePath).absolutePath());
    if (m_lock.tryLock(m_wait))
        return true;
    *error = m_lock.error() == QLockFile::LockFailedError
        ? QCoreApplication::translate("StoreFile", "%1 is being changed by another program; try again.")
              .arg(native(m_storePath))
        : QCoreApplication::translate("StoreFile", "Cannot lock %1 for changing it.").arg(native(m_storePath));
    return false;
}
