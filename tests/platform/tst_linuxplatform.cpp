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

// What stands in the way of writing the registry file.
enum class Obstacle { Pipe, TooLarge, Lock };

} // namespace

Q_DECLARE_METATYPE(Obstacle)

// The Linux stores: the registry file, user.reg and the settings file on
// disk, where nothing is lost and no special file can hang or be
// replaced.
class TestLinuxPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.emplace();
        m_registry = m_dir->filePath("registry.reg");
        m_fake.emplace(); // each test starts with an empty event log
    }

    // The registry file takes no value where a pipe of its name would hang the program once opened, where it
    // is too large to read (said once, in a box) and where another program holds its lock.
    void refusedWrite_data()
    {
        QTest::addColumn<Obstacle>("obstacle");
        QTest::addColumn<QString>("reason"); // how the write's error ends
        QTest::addColumn<bool>("boxShown"); // the error in a box, once
        QTest::newRow("pipe") << Obstacle::Pipe << "it is not a regular file." << false;
        QTest::newRow("too large") << Obstacle::TooLarge
                                   << "it has 16.0 MiB (16,777,217 bytes), more than the 16.0 MiB (16,777,216 "
                                      "bytes) that are read."
                                   << true;
        QTest::newRow("locked") << Obstacle::Lock << "is being changed by another program; try again." << false;
    }

    void refusedWrite()
    {
        QFETCH(Obstacle, obstacle);
        QFETCH(QString, reason);
        QFETCH(bool, boxShown);
        QFile file(m_registry);
        QLockFile other(m_registry + ".lock");
        if (obstacle == Obstacle::Pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(m_registry).constData(), 0600), 0);
        if (obstacle == Obstacle::TooLarge)
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(FileRegistry::SizeLimit + 1));
        if (obstacle == Obstacle::Lock)
            QVERIFY(other.lock());
        file.close();
        FileRegistry registry(m_registry, *m_fake);
        registry.setLockWait(0);
        QString error;
        QVERIFY(!registry.writeValue(serverPath, "h;i:1", &error));
        QVERIFY2(!registry.writeValue(serverPath, "h;i:1", &error) && error.endsWith(reason), qPrintable(error));
        QCOMPARE(m_fake->eventsOf("box"), boxShown ? QStringList{"error:" + error} : QStringList());
    }

    // Each store is rewritten whole. A write that the disk cannot take leaves the old file whole and says why;
    // one it can take changes the one value and keeps every other byte, and the old file's owner, group and
    // permissions, so that a private file stays private and root writing a user's file leaves it theirs.
    // user.reg is written by hand while no wineserver runs for its prefix.
    void rewrite_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QByteArray>("before"); // holds the filler, more than a full disk takes
        QTest::addColumn<uint>("mode");
        QTest::newRow("private registry.reg")
            << "registry.reg"
            << "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n\"Server\"=\"old\"\r\n\"Z\"=\"" + m_filler
                + "\"\r\n"
            << 0600u;
        QTest::newRow("private user.reg")
            << "user.reg"
            << "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\MSNMessenger] 1\n\"Z\"=\"" + m_filler + "\"\n"
            << 0600u;
        QTest::newRow("group-readable settings") << "Nexolan.ini"
                                                 << "[Main]\nOpened=4\nZ=" + m_filler + "\n"
                                                 << 0640u;
    }

    void rewrite()
    {
        QFETCH(QString, store);
        QFETCH(QByteArray, before);
        QFETCH(uint, mode);
        const QString file = m_dir->filePath(store);
        QFile written(file);
        QVERIFY(written.open(QIODevice::WriteOnly) && written.write(before) == before.size());
        written.close();
        const uint owner = ::getuid() == 0 ? 65534 : ::getuid(); // nobody, when root may give files away
        QCOMPARE(::chmod(QFile::encodeName(file).constData(), mode), 0);
        QCOMPARE(::chown(QFile::encodeName(file).constData(), owner, owner == ::getuid() ? ::getgid() : owner), 0);
        QString error;
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit fullDisk{1024, saved.rlim_max}; // as a full disk stops a write
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &fullDisk);
        const bool writtenToFullDisk = writeStore(store, &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!writtenToFullDisk);
        QVERIFY2(store == "Nexolan.ini" || error.endsWith(": File too large"),
                 qPrintable(error)); // not "Unknown error"
        QCOMPARE(contentOf(file), before);

        QVERIFY2(writeStore(store, &error), qPrintable(error));
        QCOMPARE(m_stored, "h;i:1");
        QVERIFY(contentOf(file).contains(m_filler));
        struct stat info
        { };
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(info.st_uid, owner);
        QCOMPARE(info.st_mode & 07777, mode);
    }

    // A setting that would end its line and start another is refused, and the old one stays.
    void settingWithLineBreak()
    {
        IniSettingsStore settings(m_dir->path());
        QVERIFY(settings.setValue("Nexolan", "Main", "Opened", "1"));
        QVERIFY(!settings.setValue("Nexolan", "Main", "Opened", "2\n[Other]"));
        QCOMPARE(settings.value("Nexolan", "Main", "Opened", ""), "1");
    }

private:
    // Writes "h;i:1" as the server, or as the settings' "Opened", into the store named, and reads back what
    // is stored. The registry file is the one the Linux objects fall back to where no Wine prefix holds Messenger.
    bool writeStore(const QString &store, QString *error)
    {
        if (store == "Nexolan.ini") {
            IniSettingsStore settings(m_dir->path());
            const bool written = settings.setValue("Nexolan", "Main", "Opened", "h;i:1");
            m_stored = settings.value("Nexolan", "Main", "Opened", "");
            return written;
        }
        WinePrefixSearch noMessengerInWine;
        noMessengerInWine.noneFound = true;
        LinuxSystemObjects objects(m_registry, *m_fake, std::make_unique<WineSystemObjects>(noMessengerInWine, ""));
        std::unique_ptr<Registry> registry = objects.createRegistry(error);
        if (store == "user.reg")
            registry = std::make_unique<WineRegistry>(
                WinePrefix(m_dir->path(), {m_dir->path(), {}, {}, m_dir->filePath("no-proc")}), QString());
        bool written = false;
        registry->write(serverPath, "h;i:1", [&](bool done, const QString &reason, const RegistryReading &stored) {
            written = done;
            *error = reason;
            m_stored = stored.value.text;
        });
        return written;
    }

    const QByteArray m_filler = QByteArray(3000, 'x');
    std::optional<QTemporaryDir> m_dir;
    QString m_registry;
    QString m_stored; // what the store read back after the last write
    std::optional<FakePlatform> m_fake;
};

QTEST_MAIN(TestLinuxPlatform)
#include "tst_linuxplatform.moc"
