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

} // namespace

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

    // A pipe of the registry file's name would hang the program once opened:
    // reading gives no value, writing fails, and the pipe stays.
    void pipe()
    {
        QCOMPARE(::mkfifo(QFile::encodeName(m_registry).constData(), 0600), 0);
        QVERIFY(!registryReadOrWritten());
        QVERIFY(QFileInfo(m_registry).exists() && !QFileInfo(m_registry).isFile());
    }

    // A registry file too large to read is said once, naming the file, its
    // size and the limit, and is never rewritten.
    void tooLargeRegistryFile()
    {
        QFile large(m_registry);
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(FileRegistry::SizeLimit + 1));
        large.close();
        QVERIFY(!registryReadOrWritten());
        QCOMPARE(m_fake->eventsOf("box"),
                 QStringList{"error:Cannot read " + m_registry
                             + ": it has 16.0 MiB (16,777,217 bytes), more than the 16.0 MiB (16,777,216 bytes) "
                               "that are read."});
        QCOMPARE(large.size(), FileRegistry::SizeLimit + 1);
    }

    // Each store is rewritten whole. A write that the disk cannot take leaves the old file whole and says why;
    // one it can take changes the one value and keeps every other byte, and the old file's owner, group and
    // permissions, so that a private file stays private and root writing a user's file leaves it theirs.
    // user.reg is written by hand while no wineserver runs for its prefix.
    void rewrite_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after"); // empty: not known in advance (user.reg stamps the time)
        QTest::addColumn<uint>("mode");
        const QByteArray filler(3000, 'x'); // more than a full disk takes
        const QByteArray messengerKey = "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n";
        QTest::newRow("private registry.reg")
            << "registry.reg"
            << "; mine\r\n" + messengerKey + "\"Server\"=\"old\"\r\n\"Z\"=\"" + filler + "\"\r\n"
            << "; mine\r\n" + messengerKey + "\"Server\"=\"h;i:1\"\r\n\"Z\"=\"" + filler + "\"\r\n"
            << 0600u;
        QTest::newRow("private user.reg")
            << "user.reg"
            << "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\MSNMessenger] 1\n\"Z\"=\"" + filler + "\"\n"
            << QByteArray() << 0600u;
        QTest::newRow("group-readable settings") << "Nexolan.ini"
                                                 << "[Main]\nOpened=4\nZ=" + filler + "\n"
                                                 << "[Main]\nOpened=h;i:1\nZ=" + filler + "\n"
                                                 << 0640u;
    }

    void rewrite()
    {
        QFETCH(QString, store);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
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
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = 1024; // as a full disk stops a write
        setrlimit(RLIMIT_FSIZE, &lowered);
        const bool writtenToFullDisk = writeStore(store, &error);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!writtenToFullDisk);
        QVERIFY2(store == "Nexolan.ini" || error.endsWith(": File too large"),
                 qPrintable(error)); // not "Unknown error"
        QCOMPARE(contentOf(file), before);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{store});

        QVERIFY2(writeStore(store, &error), qPrintable(error));
        QCOMPARE(m_stored, "h;i:1");
        if (!after.isEmpty())
            QCOMPARE(contentOf(file), after);
        QVERIFY(contentOf(file) != before);
        struct stat info
        { };
        QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
        QCOMPARE(info.st_uid, owner);
        QCOMPARE(info.st_mode & 07777, mode);
    }

    void lockedByAnotherProgram()
    {
        QLockFile other(m_registry + ".lock");
        QVERIFY(other.lock());
        FileRegistry registry(m_registry, *m_fake);
        registry.setLockWait(0);
        QString error;
        QVERIFY(!registry.writeValue(serverPath, "new", &error));
        QVERIFY(error.contains("another program"));
    }

private:
    // Whether the registry file gives the server's value, or else takes a new one.
    bool registryReadOrWritten()
    {
        FileRegistry registry(m_registry, *m_fake);
        RegistryValue value;
        QString error;
        return registry.readValue(serverPath, &value, &error) || registry.writeValue(serverPath, "h;i:1", &error);
    }

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

    std::optional<QTemporaryDir> m_dir;
    QString m_registry;
    QString m_stored; // what the store read back after the last write
    std::optional<FakePlatform> m_fake;
};

QTEST_MAIN(TestLinuxPlatform)
#include "tst_linuxplatform.moc"
