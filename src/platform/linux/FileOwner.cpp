// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileOwner.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDevice>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString groupName(gid_t groupId)
{
    const struct group *entry = ::getgrgid(groupId);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(groupId);
}

} // namespace

QString userName(uint userId)
{
    const struct passwd *entry = ::getpwuid(uid_t(userId));
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(userId);
}

bool keepFileOwner(QFileDevice &newFile, const QString &oldPath, QString *reason)
{
    struct stat old
    { };
    struct stat created
    { };
    const int handle = newFile.handle();
    if (::stat(QFile::encodeName(oldPath).constData(), &old) != 0 || handle < 0 || ::fstat(handle, &created) != 0) {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if ((old.st_uid != created.st_uid || old.st_gid != created.st_gid)
        && ::fchown(handle, old.st_uid, old.st_gid) != 0) {
        *reason = QCoreApplication::translate("FileOwner", "its owner %1 and group %2 cannot be kept (%3)")
                      .arg(userName(old.st_uid), groupName(old.st_gid), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (::fchmod(handle, old.st_mode & 07777) != 0) {
        *reason = QCoreApplication::translate("FileOwner", "its permissions cannot be kept (%1)")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}
