// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/FileRegistry.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/LinuxSystemObjects.h"
#include "platform/wine/WineRegistry.h"
#include "platform/wine/WineSystemObjects.h"
#include "support/FakePlatform.h"

#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString serverPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// What stands in the way of the first write.
enum class Obstacle { FullDisk, LineBreak, Pipe, TooLarge, Lock };

} // namespace

Q_DECLARE_METATYPE(Obstacle)

// The Linux stores: the registry file, user.reg and the settings file on
// disk, where nothing is lost and no special file can hang or be
// replaced.
class TestLinuxPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each store is rewritten whole. A write refused leaves the old file whole and says why: one the disk cannot
    // take, a setting that would end its line and start another, and in the registry file one where a pipe of
    // its name would hang the program once opened, where it is too large to read (said once, in a box) and where
    // another program holds its lock. A write that goes through changes the one value and keeps every other
    // byte, and the old file's owner, group and permissions, so that a private file stays private and root
    // writing a user's file leaves it theirs. user.reg is written by hand while no wineserver runs for its prefix.
    void write_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<QString>("reason"); // how the refused write's error ends
        QTest::newRow("registry.reg, full disk") << "registry.reg" << Obstacle::FullDisk << ": File too large";
        QTest::newRow("user.reg, full disk") << "user.reg" << Obstacle::FullDisk << ": File too large";
        QTest::newRow("settings, full disk") << "Nexolan.ini" << Obstacle::FullDisk << QString();
        QTest::newRow("settings, line break") << "Nexolan.ini" << Obstacle::LineBreak << QString();
        QTest::newRow("registry.reg a pipe") << "registry.reg" << Obstacle::Pipe << "it is not a regular file.";
        QTest::newRow("registry.reg too large")
            << "registry.reg" << Obstacle::TooLarge
            << "it has 16.0 MiB (16,777,217 bytes), more than the 16.0 MiB (16,777,216 bytes) that are read.";
        QTest::newRow("registry.reg locked")
            << "registry.reg" << Obstacle::Lock << "is being changed by another program; try again.";
    }

    void write()
    {
        QFETCH(QString, store);
        QFETCH(Obstacle, obstacle);
        QFETCH(QString, reason);
        m_store.reset(); // each row with a store, folder and event log of its own
        m_dir.emplace();
        m_fake.emplace();
        const QByteArray before = contentBefore(store);
        const uint mode = 0640; // neither the owner's bits alone nor what the umask leaves
        const QString file = m_dir->filePath(store);
        QFile written(file);
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write(before) == before.size());
        written.close();
        const uint owner = ::getuid() == 0 ? 65534 : ::getuid(); // nobody, when root may give files away
        QCOMPARE(::chmod(QFile::encodeName(file).constData(), mode), 0);
        QCOMPARE(::chown(QFile::encodeName(file).constData(), owner, owner == ::getuid() ? ::getgid() : owner), 0);
        QLockFile other(file + ".lock");
        if (obstacle == Obstacle::Pipe)
            QVERIFY(written.remove() && ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        if (obstacle == Obstacle::TooLarge)
            QVERIFY(written.resize(FileRegistry::SizeLimit + 1));
        if (obstacle == Obstacle::Lock)
            QVERIFY(other.lock());
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit fullDisk{obstacle == Obstacle::FullDisk ? 1024 : saved.rlim_cur, saved.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &fullDisk);
        const QString value = obstacle == Obstacle::LineBreak ? "h;i:1\n[Other]" : "h;i:1";
        QString error;
        const bool writtenOnce = writeStore(store, value, &error);
        const bool writtenTwice = writeStore(store, value, &error); // by the same store: a box says it once
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!writtenOnce && !writtenTwice);
        QVERIFY2(error.endsWith(reason), qPrintable(error)); // not "Unknown error"
        const bool boxShown = obstacle == Obstacle::TooLarge;
        QCOMPARE(m_fake->eventsOf("box"), boxShown ? QStringList{"error:" + error} : QStringList());
        if (obstacle == Obstacle::Pipe || obstacle == Obstacle::TooLarge)
            return;
        QCOMPARE(contentOf(file), before);
        other.unlock();

        QVERIFY2(writeStore(store, "h;i:1", &error), qPrintable(error));
        QCOMPARE(m_stored, "h;i:1");
        QVERIFY(contentOf(file).contains(m_filler));
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(info.st_uid, owner);
        QCOMPARE(info.st_mode & 07777, mode);
    }

private:
    // A store's file before the write: another value beside the one written, with the filler, more than a full
    // disk takes.
    QByteArray contentBefore(const QString &store) const
    {
        if (store == "registry.reg")
            return "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n\"Server\"=\"old\"\r\n\"Z\"=\"" + m_filler
                + "\"\r\n";
        if (store == "user.reg")
            return "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\MSNMessenger] 1\n\"Z\"=\"" + m_filler + "\"\n";
        return "[Main]\nOpened=4\nZ=" + m_filler + "\n";
    }

    // Writes value as the server, or as the settings' "Opened", into the store named, and reads back what is
    // stored. The registry file is the one the Linux objects fall back to where no Wine prefix holds Messenger;
    // one registry serves all of a test's writes, as one serves the program's.
    bool writeStore(const QString &store, const QString &value, QString *error)
    {
        if (store == "Nexolan.ini") {
            IniSettingsStore settings(m_dir->path());
            const bool written = settings.setValue("Nexolan", "Main", "Opened", value);
            m_stored = settings.value("Nexolan", "Main", "Opened", "");
            return written;
        }
        WinePrefixSearch noMessengerInWine;
        noMessengerInWine.noneFound = true;
        LinuxSystemObjects objects(m_dir->filePath("registry.reg"), *m_fake,
                                   std::make_unique<WineSystemObjects>(noMessengerInWine, ""));
        if (!m_store && store == "user.reg")
            m_store = std::make_unique<WineRegistry>(
                WinePrefix(m_dir->path(), {m_dir->path(), {}, {}, m_dir->filePath("no-proc")}), QString());
        if (!m_store)
            m_store = objects.createRegistry(error);
        if (auto *registryFile = dynamic_cast<FileRegistry *>(m_store.get()))
            registryFile->setLockWait(0);
        bool written = false;
        m_store->write(serverPath, value, [&](bool done, const QString &reason, const RegistryReading &stored) {
            written = done;
            *error = reason;
            m_stored = stored.value.text;
        });
        return written;
    }

    const QByteArray m_filler = QByteArray(3000, 'x');
    std::optional<QTemporaryDir> m_dir;
    QString m_stored; // what the store read back after the last write
    std::unique_ptr<Registry> m_store;
    std::optional<FakePlatform> m_fake;
};

QTEST_MAIN(TestLinuxPlatform)
#include "tst_linuxplatform.moc"
