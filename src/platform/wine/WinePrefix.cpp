// SPDX-License-Identifier: GPL-3.0-or-later
#include "WinePrefix.h"

#include "core/StoreFile.h"
#include "core/WineRegistryFile.h"
#include "platform/linux/FileOwner.h"
#include "platform/win32/MessengerClass.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 procFileLimit = 1024 * 1024;
constexpr int candidateLimit = 256; // prefixes looked at in one folder of Bottles or PlayOnLinux

struct FileId
{
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileId &other) const { return device == other.device && inode == other.inode; }
    bool operator!=(const FileId &other) const { return !(*this == other); }
};

std::optional<FileId> fileId(const QString &path)
{
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileId{quint64(info.st_dev), quint64(info.st_ino)};
}

// An opened /proc/<pid>. Its owner and files are read through the opened
// folder, so a process that ends and whose number is taken again meanwhile
// cannot lend its number's files to another.
class ProcessFolder
{
public:
    explicit ProcessFolder(const QString &path)
        : m_handle(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    { }
    ~ProcessFolder()
    {
        if (m_handle >= 0)
            ::close(m_handle);
    }
    ProcessFolder(const ProcessFolder &) = delete;
    ProcessFolder &operator=(const ProcessFolder &) = delete;

    // The process's user, or none when the folder cannot be read.
    std::optional<uint> owner() const
    {
        struct stat info;
        if (m_handle < 0 || ::fstat(m_handle, &info) != 0)
            return std::nullopt;
        return uint(info.st_uid);
    }
    QByteArray file(const char *name) const
    {
        const int handle = ::openat(m_handle, name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (handle < 0)
            return QByteArray();
        QByteArray content;
        char buffer[4096];
        ssize_t size = 0;
        while (content.size() < procFileLimit && (size = ::read(handle, buffer, sizeof buffer)) > 0)
            content.append(buffer, size);
        ::close(handle);
        return content;
    }
    QString link(const char *name) const
    {
        QByteArray target(4096, '\0');
        const ssize_t size = ::readlinkat(m_handle, name, target.data(), size_t(target.size()));
        return size > 0 ? QFile::decodeName(target.left(size)) : QString();
    }

private:
    int m_handle;
};

// One of the user's processes as far as it can be read: name (comm),
// environment, working folder and executable.
struct Process
{
    std::shared_ptr<ProcessFolder> folder;
    qint64 pid = 0;
    QString name;

    QString variable(const char *name) const
    {
        const QByteArray prefix = QByteArray(name) + '=';
        for (const QByteArray &entry : folder->file("environ").split('\0')) {
            if (entry.startsWith(prefix))
                return QFile::decodeName(entry.mid(prefix.size()));
        }
        return QString();
    }
    QString workingFolder() const { return folder->link("cwd"); }
    QString executable() const { return folder->link("exe"); }
};

// The processes of the user; those of others are never looked at, as root
// neither: another user could name any program and set any environment.
QList<Process> processes(const QString &procRoot, uint user)
{
    // Read with readdir: a switch looks at every process twice or three
    // times, and QDir's listing examines each entry.
    QList<Process> list;
    DIR *root = ::opendir(QFile::encodeName(procRoot).constData());
    if (!root)
        return list;
    while (const struct dirent *entry = ::readdir(root)) {
        bool numeric = false;
        const QString entryName = QString::fromLatin1(entry->d_name);
        const qint64 pid = entryName.toLongLong(&numeric);
        if (!numeric)
            continue;
        auto folder = std::make_shared<ProcessFolder>(procRoot + QLatin1Char('/') + entryName);
        if (folder->owner() != user)
            continue;
        list.append({folder, pid, QString::fromUtf8(folder->file("comm")).trimmed()});
    }
    ::closedir(root);
    return list;
}

// A path as a program with the given working folder means it.
QString absolutePath(const QString &path, const QString &workingFolder)
{
    return QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
}

// Wine's choice of prefix for a process: WINEPREFIX (relative to the
// process's working folder), else ~/.wine.
QString processPrefix(const Process &process, const QString &home)
{
    const QString prefix = process.variable("WINEPREFIX");
    if (!prefix.isEmpty())
        return absolutePath(prefix, process.workingFolder());
    const QString processHome = process.variable("HOME");
    return (processHome.isEmpty() ? home : processHome) + QStringLiteral("/.wine");
}

bool isMessengerProcess(const Process &process)
{
    return process.name.compare(QLatin1String("msnmsgr.exe"), Qt::CaseInsensitive) == 0;
}

bool isPrefix(const QString &path)
{
    return QFileInfo(path + QStringLiteral("/user.reg")).isFile();
}

WineRegistryFile registryFile(const QString &path)
{
    QByteArray content;
    QString ignored;
    StoreFile::read(path, WineRegistryFile::SizeLimit, &content, &ignored);
    return WineRegistryFile(content);
}

} // namespace

WineEnvironment WineEnvironment::fromProcess()
{
    WineEnvironment environment;
    environment.home = qEnvironmentVariable("HOME", QDir::homePath());
    environment.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    // Wine refuses a relative prefix: it is taken from the current folder.
    const QString prefix = qEnvironmentVariable("WINEPREFIX");
    environment.winePrefix = prefix.isEmpty() ? prefix : absolutePath(prefix, QDir::currentPath());
    return environment;
}

uint WineEnvironment::currentUser()
{
    return uint(::getuid());
}

QString trustedProgram(const QString &path, uint user, QString *problem)
{
    if (!QFileInfo(path).isAbsolute()) {
        *problem = QCoreApplication::translate("WinePrefix", "%1 is no absolute path").arg(path);
        return QString();
    }
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty()) {
        *problem = QCoreApplication::translate("WinePrefix", "%1 does not exist").arg(path);
        return QString();
    }
    // The file and every folder above it: another user who can change any
    // of them can change what runs.
    QString checked = target;
    for (bool file = true;; file = false) {
        struct stat info;
        if (::lstat(QFile::encodeName(checked).constData(), &info) != 0) {
            *problem = QCoreApplication::translate("WinePrefix", "%1 cannot be examined").arg(checked);
            return QString();
        }
        const bool sticky = !file && (info.st_mode & S_ISVTX);
        if (file && !S_ISREG(info.st_mode)) {
            *problem = QCoreApplication::translate("WinePrefix", "%1 is not a regular file").arg(checked);
            return QString();
        }
        if (info.st_uid != 0 && info.st_uid != user) {
            *problem = QCoreApplication::translate("WinePrefix", "%1 belongs to %2")
                           .arg(checked, userName(info.st_uid));
            return QString();
        }
        if ((info.st_mode & (S_IWGRP | S_IWOTH)) && !sticky) {
            *problem = QCoreApplication::translate("WinePrefix", "%1 is writable by others").arg(checked);
            return QString();
        }
        if (checked == QLatin1String("/"))
            return target;
        checked = QFileInfo(checked).path();
    }
}

WinePrefix::WinePrefix(const QString &path, const WineEnvironment &environment)
    : m_path(QDir::cleanPath(path))
    , m_environment(environment)
{ }

QString WinePrefix::userRegistryPath() const
{
    return m_path + QStringLiteral("/user.reg");
}

QString WinePrefix::arch() const
{
    return registryFile(userRegistryPath()).arch();
}

std::optional<WineServer> WinePrefix::server() const
{
    const std::optional<FileId> id = fileId(m_path);
    if (!id)
        return std::nullopt;
    const QString folder = QStringLiteral("server-%1-%2").arg(id->device, 0, 16).arg(id->inode, 0, 16);
    for (const Process &process : processes(m_environment.procRoot, m_environment.user)) {
        if (!process.name.contains(QLatin1String("wineserver")))
            continue;
        // A server that is starting still works in the prefix folder itself.
        const QString cwd = process.workingFolder();
        if (QFileInfo(cwd).fileName() != folder && fileId(cwd) != id)
            continue;
        // A server started on its own (wineserver -p) has no WINELOADER: the
        // loader lies beside it (wineserver64 -> wine64). The server works in
        // its own folder, so a relative WINELOADER cannot be placed either.
        QString loader = process.variable("WINELOADER");
        if (!QFileInfo(loader).isAbsolute()) {
            const QFileInfo server(process.executable());
            loader = server.dir().filePath(
                server.fileName().replace(QLatin1String("wineserver"), QLatin1String("wine")));
        }
        WineServer server{process.pid, {}, {}};
        server.loader = trustedProgram(loader, m_environment.user, &server.loaderProblem);
        return server;
    }
    return std::nullopt;
}

bool WinePrefix::isMessengerRunning() const
{
    const std::optional<FileId> id = fileId(m_path);
    for (const Process &process : processes(m_environment.procRoot, m_environment.user)) {
        if (id && isMessengerProcess(process) && fileId(processPrefix(process, m_environment.home)) == id)
            return true;
    }
    return false;
}

bool WinePrefix::holdsMessenger() const
{
    if (registryFile(userRegistryPath()).hasKey(QStringLiteral("Software\\Microsoft\\MSNMessenger")))
        return true;
    const QDir drive(m_path + QStringLiteral("/drive_c"));
    for (const QString &programs : drive.entryList({QStringLiteral("Program Files*")}, QDir::Dirs)) {
        if (QFileInfo(drive.filePath(programs + QStringLiteral("/MSN Messenger/msnmsgr.exe"))).isFile())
            return true;
    }
    return false;
}

bool WinePrefix::hasMessengerClass() const
{
    for (const QString &file : {QStringLiteral("/system.reg"), QStringLiteral("/user.reg")}) {
        const WineRegistryFile registry = registryFile(m_path + file);
        for (const std::wstring &key : nexolan::win32::messengerServerKeys()) {
            if (registry.hasKey(QString::fromStdWString(key)))
                return true;
        }
    }
    return false;
}

namespace {

// As Wine does, another user's prefix is not used: a copy run by root would
// otherwise leave files in it that their owner's Wine cannot read.
WinePrefixSearch ownPrefix(const QString &path, const WineEnvironment &environment)
{
    WinePrefixSearch search;
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        search.reason = QCoreApplication::translate("WinePrefix", "The Wine prefix %1 cannot be examined.").arg(path);
    else if (info.st_uid != environment.user)
        search.reason = QCoreApplication::translate("WinePrefix",
                                                    "The Wine prefix %1 is owned by %2, not by you; "
                                                    "Nexolan changes only your own prefixes.")
                            .arg(path, userName(info.st_uid));
    else
        search.prefix = WinePrefix(path, environment);
    return search;
}

} // namespace

WinePrefixSearch findWinePrefix(const WineEnvironment &environment)
{
    WinePrefixSearch search;
    if (!environment.winePrefix.isEmpty()) {
        if (isPrefix(environment.winePrefix))
            return ownPrefix(environment.winePrefix, environment);
        search.reason = QCoreApplication::translate("WinePrefix", "WINEPREFIX names %1, which is no Wine prefix.")
                            .arg(environment.winePrefix);
        return search;
    }

    // A prefix counts once however many paths lead to it.
    QStringList found;
    QList<FileId> ids;
    const auto add = [&](const QString &path) {
        const std::optional<FileId> id = fileId(path);
        if (id && isPrefix(path) && !ids.contains(*id)) {
            ids.append(*id);
            found.append(QDir::cleanPath(path));
        }
    };
    for (const Process &process : processes(environment.procRoot, environment.user)) {
        if (isMessengerProcess(process))
            add(processPrefix(process, environment.home));
    }
    const bool running = !found.isEmpty();
    if (!running) {
        const QString dataHome = environment.xdgDataHome.isEmpty() ? environment.home + QStringLiteral("/.local/share")
                                                                   : environment.xdgDataHome;
        QStringList candidates = {environment.home + QStringLiteral("/.wine")};
        for (const QString &folder :
             {dataHome + QStringLiteral("/bottles/bottles"),
              environment.home + QStringLiteral("/.var/app/com.usebottles.bottles/data/bottles/bottles"),
              environment.home + QStringLiteral("/.PlayOnLinux/wineprefix")}) {
            const QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
            for (const QString &name : names.mid(0, candidateLimit))
                candidates.append(folder + QLatin1Char('/') + name);
        }
        for (const QString &candidate : candidates) {
            if (WinePrefix(candidate, environment).holdsMessenger())
                add(candidate);
        }
    }

    if (found.size() == 1)
        return ownPrefix(found.first(), environment);
    if (found.isEmpty()) {
        search.noneFound = true;
        search.reason = QCoreApplication::translate("WinePrefix",
                                                    "No Wine prefix with Messenger was found in "
                                                    "~/.wine, Bottles or PlayOnLinux; set WINEPREFIX to "
                                                    "the prefix to use.");
    } else {
        // Whole sentences, so that a translation need not join pieces.
        const QString text = running ? QCoreApplication::translate("WinePrefix",
                                                                   "Messenger runs in several Wine "
                                                                   "prefixes (%1); set WINEPREFIX to "
                                                                   "the prefix to use.")
                                     : QCoreApplication::translate("WinePrefix",
                                                                   "Messenger is in several Wine "
                                                                   "prefixes (%1); set WINEPREFIX to "
                                                                   "the prefix to use.");
        search.reason = text.arg(found.join(QStringLiteral(", ")));
    }
    return search;
}
