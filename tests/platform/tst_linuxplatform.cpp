// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/DesktopServices.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/FileRegistry.h"
#include "platform/wine/WineRegistry.h"
#include "support/FakePlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLockFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QString serverPath = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger\\Server");

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

} // namespace

// The Linux desktop: message boxes, and the registry file and the settings
// file on disk, where nothing is lost and no special file can hang or be
// replaced.
class TestLinuxPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir.emplace();
        m_registry = m_dir->filePath("registry.reg");
        m_settings = m_dir->filePath("Nexolan.ini");
        m_fake.emplace(); // each test starts with an empty event log
    }

    // Reading gives no value at once, writing fails naming the file once,
    // and the file stays what it was.
    void specialFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe") << "fifo";
        QTest::newRow("link to a device") << "device";
        QTest::newRow("directory") << "dir";
        QTest::newRow("too large") << "large";
    }

    void specialFiles()
    {
        QFETCH(QString, kind);
        const QByteArray path = m_registry.toLocal8Bit();
        const QByteArray node = m_dir->filePath("null").toLocal8Bit();
        QFile large(m_registry);
        if (kind == "large")
            QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(FileRegistry::SizeLimit + 1));
        else if (kind == "fifo")
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        else if (kind == "dir")
            QVERIFY(QDir().mkdir(m_registry));
        else if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("making a device node needs root");
        else
            QCOMPARE(::symlink(node.constData(), path.constData()), 0);
        struct stat before
        {
        }, after{};
        QCOMPARE(::lstat(path.constData(), &before), 0);
        FileRegistry shell(m_registry, *m_fake);
        RegistryValue value;
        QString error;
        QVERIFY(!shell.readValue(serverPath, &value, &error));
        QVERIFY(!shell.writeValue(serverPath, "h;i:1", &error));
        QVERIFY2(error.count("registry.reg") == 1, qPrintable(error));
        QCOMPARE(::lstat(path.constData(), &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
        // Too large is said once, naming the file, its size and the limit.
        QCOMPARE(m_fake->eventsOf("box"), kind != "large" ? QStringList() : QStringList{"error:" + error});
        QVERIFY(kind != "large"
                || error.endsWith(": it has 16.0 MiB (16,777,217 bytes), more than the 16.0 MiB "
                                  "(16,777,216 bytes) that are read."));
        if (kind == "fifo") { // the same for the settings
            QVERIFY(QFile::rename(m_registry, m_settings));
            IniSettingsStore settings(m_dir->path());
            QCOMPARE(settings.value("Nexolan", "Main", "Opened", "0"), "0");
            QVERIFY(!settings.setValue("Nexolan", "Main", "Opened", "1"));
        }
    }

    // Each store is rewritten whole. A write that the disk cannot take leaves the old file whole and says why;
    // one it can take changes the one value and keeps every other byte, and the old file's owner, group and
    // permissions, so that a private file stays private and root writing a user's file leaves it theirs.
    // user.reg is written by hand while no wineserver runs for its prefix.
    void rewrite_data()
    {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<uint>("mode");
        const QByteArray filler(3000, 'x'); // more than a full disk takes
        QTest::newRow("private registry.reg")
            << "registry.reg"
            << "; mine\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n\"Server\"=\"old\"\r\n\"Z\"=\""
                + filler + "\"\r\n"
            << "; mine\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n\"Server\"=\"h;i:1\"\r\n\"Z\"=\""
                + filler + "\"\r\n"
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
        writeFile(file, before);
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
        FileRegistry shell(m_registry, *m_fake);
        shell.setLockWait(0);
        QString error;
        QVERIFY(!shell.writeValue(serverPath, "new", &error));
        QVERIFY(error.contains("another program"));
    }

    // The styles of box, each with the program's title and one OK button.
    void messageBoxes_data()
    {
        QTest::addColumn<MessageStyle>("style");
        QTest::addColumn<QMessageBox::Icon>("icon");
        QTest::addColumn<bool>("onTop");
        QTest::newRow("error") << MessageStyle::Error << QMessageBox::Critical << false;
        QTest::newRow("system-modal") << MessageStyle::SystemModalInformation << QMessageBox::Information << true;
    }

    void messageBoxes()
    {
        QFETCH(MessageStyle, style);
        QFETCH(QMessageBox::Icon, icon);
        QFETCH(bool, onTop);
        bool shown = false;
        QTimer::singleShot(0, this, [&] { // the box closes once this returns
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            box->button(QMessageBox::Ok)->click();
            shown = true;
            QCOMPARE(box->text(), "one\ntwo");
            QCOMPARE(box->windowTitle(), "Nexolan - By Torvik");
            QCOMPARE(box->icon(), icon);
            QCOMPARE(box->buttons().size(), 1);
            QCOMPARE(bool(box->windowFlags() & Qt::WindowStaysOnTopHint), onTop);
        });
        DesktopServices().showMessage("one\r\ntwo", style);
        QVERIFY(shown);
    }

private:
    // Writes "h;i:1" as the server, or as the settings' "Opened", into the store named.
    bool writeStore(const QString &store, QString *error)
    {
        const QString file = m_dir->filePath(store);
        if (store == "Nexolan.ini")
            return IniSettingsStore(m_dir->path()).setValue("Nexolan", "Main", "Opened", "h;i:1");
        if (store == "registry.reg")
            return FileRegistry(file, *m_fake).writeValue(serverPath, "h;i:1", error);
        bool written = false;
        WineRegistry registry(WinePrefix(m_dir->path(), {m_dir->path(), {}, {}, m_dir->filePath("no-proc")}), {});
        registry.write(serverPath, "h;i:1", [&](bool done, const QString &reason, const RegistryReading &stored) {
            written = done && stored.value.text == "h;i:1";
            *error = reason;
        });
        return written;
    }

    std::optional<QTemporaryDir> m_dir;
    QString m_registry;
    QString m_settings;
    std::optional<FakePlatform> m_fake;
};

QTEST_MAIN(TestLinuxPlatform)
#include "tst_linuxplatform.moc"
