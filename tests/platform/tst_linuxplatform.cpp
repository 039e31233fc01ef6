#include "platform/linux/DesktopServices.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/FileRegistry.h"
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
        struct stat before {}, after {};
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
        QVERIFY(kind != "large" || error.endsWith(": it has 16.0 MiB (16,777,217 bytes), more than the 16.0 MiB "
                                                  "(16,777,216 bytes) that are read."));
        if (kind == "fifo") { // the same for the settings
            QVERIFY(QFile::rename(m_registry, m_settings));
            IniSettingsStore settings(m_dir->path());
            QCOMPARE(settings.value("Nexolan", "Main", "Opened", "0"), "0");
            QVERIFY(!settings.setValue("Nexolan", "Main", "Opened", "1"));
        }
    }

    // A write that the disk cannot take leaves the old file whole and says
    // why; one it can take changes the one value and keeps every other byte,
    // and the file's owner, group and permissions (root writing a user's
    // file leaves it theirs).
    void fullDisk()
    {
        const QByteArray registry = "; mine\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\MSNMessenger]\r\n"
                                    "\"Server\"=\"old\"\r\n\"Z\"=dword:1\r\n" + QByteArray(3000, ';') + "\r\n";
        const QByteArray settings = "[Main]\nOpened=4\n" + QByteArray(3000, '#') + "\n";
        writeFile(m_registry, registry);
        writeFile(m_settings, settings);
        const uint owner = ::getuid() == 0 ? 65534 : ::getuid(); // nobody, when root may give files away
        for (const QString &file : {m_registry, m_settings}) {
            QCOMPARE(::chmod(QFile::encodeName(file).constData(), 0640), 0);
            QCOMPARE(::chown(QFile::encodeName(file).constData(), owner, owner == ::getuid() ? ::getgid() : owner), 0);
        }
        FileRegistry shell(m_registry, *m_fake);
        IniSettingsStore store(m_dir->path());
        QString error;
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved;
        lowered.rlim_cur = 1024; // as a full disk stops a write
        setrlimit(RLIMIT_FSIZE, &lowered);
        const bool wrote =
            shell.writeValue(serverPath, "new", &error) || store.setValue("Nexolan", "Main", "Opened", "5");
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!wrote);
        QVERIFY2(error.endsWith(": File too large"), qPrintable(error)); // the system's reason, not "Unknown error"
        QCOMPARE(contentOf(m_registry), registry);
        QCOMPARE(contentOf(m_settings), settings);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 2);

        QVERIFY2(shell.writeValue(serverPath, "h;i:1", &error), qPrintable(error));
        QVERIFY(store.setValue("Nexolan", "Main", "Opened", "5"));
        QCOMPARE(contentOf(m_registry), QByteArray(registry).replace("\"old\"", "\"h;i:1\""));
        for (const QString &file : {m_registry, m_settings}) {
            struct stat info {};
            QCOMPARE(::stat(QFile::encodeName(file).constData(), &info), 0);
            QCOMPARE(info.st_uid, owner);
            QCOMPARE(info.st_mode & 07777, 0640u);
        }
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

    void messageBoxes_data()
    {
        QTest::addColumn<MessageStyle>("style");
        QTest::addColumn<int>("icon");
        QTest::addColumn<bool>("onTop");
        QTest::newRow("error") << MessageStyle::Error << int(QMessageBox::Critical) << false;
        QTest::newRow("information") << MessageStyle::Information << int(QMessageBox::Information) << false;
        QTest::newRow("system-modal") << MessageStyle::SystemModalInformation << int(QMessageBox::Information) << true;
    }

    void messageBoxes()
    {
        QFETCH(MessageStyle, style);
        QFETCH(int, icon);
        QFETCH(bool, onTop);
        QString seen;
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = QStringLiteral("%1|%2|%3|%4|%5").arg(box->text(), box->windowTitle()).arg(int(box->icon()))
                       .arg(box->buttons().size()).arg(bool(box->windowFlags() & Qt::WindowStaysOnTopHint));
            box->button(QMessageBox::Ok)->click();
        });
        DesktopServices().showMessage("one\r\ntwo", style);
        QCOMPARE(seen, QStringLiteral("one\ntwo|Nexolan - By Torvik|%1|1|%2").arg(icon).arg(onTop));
    }

private:
    std::optional<QTemporaryDir> m_dir;
    QString m_registry;
    QString m_settings;
    std::optional<FakePlatform> m_fake;
};

QTEST_MAIN(TestLinuxPlatform)
#include "tst_linuxplatform.moc"
