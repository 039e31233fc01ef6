#include "WinePrefix.h"

#include "core/StoreFile.h"
#include "core/WineRegistryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

constexpr qint64 registryFileLimit = 64 * 1024 * 1024;
constexpr qint64 procFileLimit = 1024 * 1024;
constexpr int candidateLimit = 256; // prefixes looked at in one folder of Bottles or PlayOnLinux

const QString messengerClass = QStringLiteral("CLSID\\{B69003B3-C55E-4B48-836C-BC5946FC3B28}");

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

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(procFileLimit) : QByteArray();
}

// A process as far as it can be read: name (comm) and environment.
struct Process
{
    QString dir; // <proc>/<pid>
    qint64 pid = 0;
    QString name;

    QString variable(const char *name) const
    {
        const QByteArray prefix = QByteArray(name) + '=';
        for (const QByteArray &entry : readProcFile(dir + QStringLiteral("/environ")).split('\0')) {
            if (entry.startsWith(prefix))
                return QFile::decodeName(entry.mid(prefix.size()));
        }
        return QString();
    }
};

QList<Process> processes(const QString &procRoot)
{
    QList<Process> list;
    const QStringList entries = QDir(procRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric)
            continue;
        const QString dir = procRoot + QLatin1Char('/') + entry;
        list.append({dir, pid, QString::fromUtf8(readProcFile(dir + QStringLiteral("/comm"))).trimmed()});
    }
    return list;
}

// Wine's own choice of prefix for a process: WINEPREFIX, else ~/.wine.
QString processPrefix(const Process &process, const QString &home)
{
    const QString prefix = process.variable("WINEPREFIX");
    if (!prefix.isEmpty())
        return prefix;
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
    StoreFile::read(path, registryFileLimit, &content, &ignored);
    return WineRegistryFile(content);
}

} // namespace

WineEnvironment WineEnvironment::fromProcess()
{
    WineEnvironment environment;
    environment.home = qEnvironmentVariable("HOME", QDir::homePath());
    environment.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    environment.winePrefix = qEnvironmentVariable("WINEPREFIX");
    return environment;
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
    for (const Process &process : processes(m_environment.procRoot)) {
        if (!process.name.contains(QLatin1String("wineserver")))
            continue;
        // A server that is starting still works in the prefix folder itself.
        const QString cwd = QFile::symLinkTarget(process.dir + QStringLiteral("/cwd"));
        if (QFileInfo(cwd).fileName() != folder && fileId(cwd) != id)
            continue;
        // A server started on its own (wineserver -p) has no WINELOADER: the
        // loader lies beside it (wineserver64 -> wine64).
        QString loader = process.variable("WINELOADER");
        if (loader.isEmpty()) {
            const QFileInfo server(QFile::symLinkTarget(process.dir + QStringLiteral("/exe")));
            loader
                = server.dir().filePath(server.fileName().replace(QLatin1String("wineserver"), QLatin1String("wine")));
        }
        return WineServer{process.pid, loader};
    }
    return std::nullopt;
}

bool WinePrefix::isMessengerRunning() const
{
    const std::optional<FileId> id = fileId(m_path);
    for (const Process &process : processes(m_environment.procRoot)) {
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
        if (registry.hasKey(QStringLiteral("Software\\Classes\\") + messengerClass)
            || registry.hasKey(QStringLiteral("Software\\Classes\\Wow6432Node\\") + messengerClass))
            return true;
    }
    return false;
}

WinePrefixSearch findWinePrefix(const WineEnvironment &environment)
{
    WinePrefixSearch search;
    if (!environment.winePrefix.isEmpty()) {
        if (isPrefix(environment.winePrefix))
            search.prefix = WinePrefix(environment.winePrefix, environment);
        else
            search.reason = QStringLiteral("WINEPREFIX names %1, which is no Wine prefix.").arg(environment.winePrefix);
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
    for (const Process &process : processes(environment.procRoot)) {
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

    if (found.size() == 1) {
        search.prefix = WinePrefix(found.first(), environment);
    } else if (found.isEmpty()) {
        search.reason = QStringLiteral("No Wine prefix with Messenger was found in ~/.wine, Bottles or PlayOnLinux; "
                                       "set WINEPREFIX to the prefix to use.");
    } else {
        search.reason
            = QStringLiteral("Messenger %1 several Wine prefixes (%2); set WINEPREFIX to the prefix to use.")
                  .arg(running ? QStringLiteral("runs in") : QStringLiteral("is in"), found.join(QStringLiteral(", ")));
    }
    return search;
}
