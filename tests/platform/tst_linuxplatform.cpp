#include "platform/linux/DesktopServices.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/RegistryFileShell.h"
#include "support/FakePlatform.h"

#include <QFile>
#include <QApplication>
#include <QLockFile>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>

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
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// Lowers the file size limit for its lifetime, as a full disk would stop a
// write; the signal that would end the process is ignored.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

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
    }

    void keepsEveryOtherByte()
    {
        const QByteArray before = "Windows Registry Editor Version 5.00\r\n\r\n; mine\r\n[HKEY_CURRENT_USER\\Other]\r\n"
                                  "\"A\"=\"1\"\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n"
                                  "\"Server\"=\"old\"\r\n\"Z\"=dword:00000001\r\n";
        writeFile(m_registry, before);
        RegistryFileShell shell(m_registry, m_fake);
        QString error;
        QVERIFY2(shell.RegWrite(serverPath, "myhost;10.0.0.1:1863", &error), qPrintable(error));
        QCOMPARE(contentOf(m_registry), QByteArray(before).replace("\"old\"", "\"myhost;10.0.0.1:1863\""));
        RegValue value;
        QVERIFY(shell.RegRead(serverPath, &value, &error));
        QCOMPARE(value.text, "myhost;10.0.0.1:1863");
    }

    // Special files: reading gives no value at once, writing fails, and the
    // file stays what it was.
    void specialFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe") << "fifo";
        QTest::newRow("link to a device") << "device";
        QTest::newRow("directory") << "dir";
    }

    void specialFiles()
    {
        QFETCH(QString, kind);
        const QByteArray path = m_registry.toLocal8Bit();
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(path.constData(), 0600), 0);
        } else if (kind == "device") {
            const QByteArray node = m_dir->filePath("null").toLocal8Bit();
            if (::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("making a device node needs root");
            QCOMPARE(::symlink(node.constData(), path.constData()), 0);
        } else {
            QVERIFY(QDir().mkdir(m_registry));
        }
        struct stat before {};
        QCOMPARE(::lstat(path.constData(), &before), 0);
        RegistryFileShell shell(m_registry, m_fake);
        IniSettingsStore settings(m_dir->path());
        RegValue value;
        QString error;
        QVERIFY(!shell.RegRead(serverPath, &value, &error));
        QVERIFY(!shell.RegWrite(serverPath, "h;i:1", &error));
        QVERIFY2(error.contains("registry.reg") && error.count("registry.reg") == 1, qPrintable(error));
        struct stat after {};
        QCOMPARE(::lstat(path.constData(), &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
        if (kind == "fifo") {
            QVERIFY(QFile::rename(m_registry, m_settings));
            QCOMPARE(settings.GetUserSetting("Nexolan", "Main", "Opened", "0"), "0");
            QVERIFY(!settings.SaveUserSetting("Nexolan", "Main", "Opened", "1"));
        }
    }

    // A write that the disk cannot take leaves the old file whole.
    void fullDisk()
    {
        const QByteArray registry = "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n\"Server\"=\"old\"\n"
            + QByteArray(3000, ';') + "\n";
        const QByteArray settings = "[Main]\nOpened=4\n" + QByteArray(3000, '#') + "\n";
        writeFile(m_registry, registry);
        writeFile(m_settings, settings);
        RegistryFileShell shell(m_registry, m_fake);
        IniSettingsStore store(m_dir->path());
        QString error;
        {
            const FileSizeLimit limit(1024);
            QVERIFY(!shell.RegWrite(serverPath, "new", &error));
            QVERIFY(!store.SaveUserSetting("Nexolan", "Main", "Opened", "5"));
        }
        QCOMPARE(contentOf(m_registry), registry);
        QCOMPARE(contentOf(m_settings), settings);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 2);
    }

    void tooLarge()
    {
        QFile file(m_registry);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(RegistryFileShell::SizeLimit + 1));
        file.close();
        RegistryFileShell shell(m_registry, m_fake);
        RegValue value;
        QString error;
        QVERIFY(!shell.RegRead(serverPath, &value, &error));
        QVERIFY(!shell.RegWrite(serverPath, "new", &error));
        // Said once, naming the file, its size and the limit.
        QCOMPARE(m_fake.eventsOf("box"), QStringList{"16:Cannot read " + m_registry
                                                     + ": it has 16.0 MiB (16,777,217 bytes), more than the"
                                                       " 16.0 MiB (16,777,216 bytes) that are read."});
        QCOMPARE(QFileInfo(m_registry).size(), RegistryFileShell::SizeLimit + 1);
    }

    void lockedByAnotherProgram()
    {
        writeFile(m_registry, "[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\n\"Server\"=\"old\"\n");
        QLockFile other(m_registry + ".lock");
        QVERIFY(other.lock());
        RegistryFileShell shell(m_registry, m_fake);
        shell.setLockWait(0);
        QString error;
        QVERIFY(!shell.RegWrite(serverPath, "new", &error));
        QVERIFY(error.contains("another program"));
        other.unlock();
        QVERIFY(shell.RegWrite(serverPath, "new", &error));
    }

    void counter()
    {
        writeFile(m_settings, "[General]\nX=\"a,b\"\n\n[Main]\nOpened=5,6\n");
        IniSettingsStore store(m_dir->path());
        QCOMPARE(store.GetUserSetting("Nexolan", "Main", "Opened", "0"), "5,6");
        QVERIFY(store.SaveUserSetting("Nexolan", "Main", "Opened", "6"));
        QCOMPARE(contentOf(m_settings), QByteArray("[General]\nX=\"a,b\"\n\n[Main]\nOpened=6\n"));
    }

    void messageBoxes_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("onTop");
        QTest::newRow("error") << 16 << int(QMessageBox::Critical) << false;
        QTest::newRow("information") << 64 << int(QMessageBox::Information) << false;
        QTest::newRow("system-modal information") << 4160 << int(QMessageBox::Information) << true;
    }

    void messageBoxes()
    {
        QFETCH(int, style);
        QFETCH(int, icon);
        QFETCH(bool, onTop);
        QMessageBox *shown = nullptr;
        QString text;
        QTimer::singleShot(0, this, [&] {
            shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!shown)
                return;
            text = shown->text();
            QCOMPARE(int(shown->icon()), icon);
            QCOMPARE(shown->windowTitle(), "Nexolan - By Torvik");
            QCOMPARE(shown->buttons().size(), 1);
            QCOMPARE(bool(shown->windowFlags() & Qt::WindowStaysOnTopHint), onTop);
            shown->button(QMessageBox::Ok)->click();
        });
        DesktopServices().ShowMessageBox("one\r\ntwo", style);
        QVERIFY(shown);
        QCOMPARE(text, "one\ntwo");
    }

private:
    std::optional<QTemporaryDir> m_dir;
    QString m_registry;
    QString m_settings;
    FakePlatform m_fake;
};

QTEST_MAIN(TestLinuxPlatform)
#include "tst_linuxplatform.moc"
