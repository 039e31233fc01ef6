#include "app/Main.h"
#include "servers/MessengerSetting.h"
#include "servers/ServerListModel.h"
#include "support/FakePlatform.h"
#include "ui/about/modGrimhal.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

namespace {

const QString counterKey = QStringLiteral("Nexolan/Main/Opened");
const QString apiMissing =
    QStringLiteral("Can not load the Messenger API Type Library. If you are on Windows XP, this could be the reason.");

bool anyMainWindow(bool visibleOnly)
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.begin(), widgets.end(), [&](QWidget *widget) {
        return qobject_cast<frmMain *>(widget) && (!visibleOnly || widget->isVisible());
    });
}

} // namespace

class TestMain : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakePlatform m_platform;
    AppGlobals m_globals;

    void writeList(const QByteArray &content)
    {
        QFile file(m_dir.filePath(QStringLiteral("nexolan.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    std::unique_ptr<frmMain> start() { return Main(m_platform, m_globals); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_platform = FakePlatform();
        m_platform.appDir = m_dir.path();
        m_globals = AppGlobals();
        writeList("myhost;10.0.0.1;1863\r\n;10.0.0.2;1864\r\n");
    }

    void firstLaunch()
    {
        const auto window = start();
        QVERIFY(window);
        QCOMPARE(m_platform.messageBoxes.size(), 1);
        QCOMPARE(m_platform.messageBoxes.at(0).style, 4160);
        const QString notice = m_platform.messageBoxes.at(0).text;
        const QStringList lines = notice.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 10);
        QCOMPARE(lines.at(0), QStringLiteral("Important information:"));
        QCOMPARE(lines.at(1), QString());
        QCOMPARE(lines.at(2), QStringLiteral("Sorry for the grimhal links... I need them, really!"));
        QVERIFY(!lines.at(3).isEmpty());
        QCOMPARE(lines.at(4), QStringLiteral("I didn't add the 'Test List' option, because there is a limit of connections (check netstat)."));
        QCOMPARE(lines.at(5), QStringLiteral("It uses RegRead and RegWrite functions of the Shell object, so don't be afraid when Norton gives you a warning."));
        QCOMPARE(lines.at(6), QString());
        QCOMPARE(lines.at(7), QStringLiteral("I screwed my NAV 2k3 so I hope you like it! :P "));
        QCOMPARE(lines.at(8), QString());
        QCOMPARE(lines.at(9), QStringLiteral("Note: this will only be shown once."));
        QVERIFY(!notice.endsWith(QLatin1Char('\n')));
        QCOMPARE(m_platform.settings.value(counterKey), QStringLiteral("1"));

        QVERIFY(m_globals.MessengerLoaded);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Nexolan - By Torvik"));
        QCOMPARE(window->statusText(), QStringLiteral("2 items in database."));
        QCOMPARE(window->selectedRow(), 0);
        auto *txtInfo = window->findChild<QPlainTextEdit *>(QStringLiteral("txtInfo"));
        QCOMPARE(txtInfo->toPlainText(), QStringLiteral("Host name: myhost\nIP Address: 10.0.0.1\nPort: 1863"));
        QCOMPARE(window->focusWidget(), window->findChild<QTreeView *>(QStringLiteral("lvw")));
    }

    void launchCounter_data()
    {
        QTest::addColumn<QString>("stored"); // null: nothing stored
        QTest::addColumn<bool>("notice");
        QTest::addColumn<QString>("saved");
        QTest::newRow("second launch") << "1" << false << "2";
        QTest::newRow("zero") << "0" << true << "1";
        QTest::newRow("negative") << "-5" << true << "-4";
        QTest::newRow("no number") << "abc" << true << "1";
        QTest::newRow("fraction") << "2.5" << false << "3.5";
        QTest::newRow("number with blanks") << " 4 2" << false << "43";
    }

    void launchCounter()
    {
        QFETCH(QString, stored);
        QFETCH(bool, notice);
        QFETCH(QString, saved);
        m_platform.settings.insert(counterKey, stored);
        const auto window = start();
        QVERIFY(window);
        QCOMPARE(m_platform.messageBoxes.size(), notice ? 1 : 0);
        QCOMPARE(m_platform.settings.value(counterKey), saved);
    }

    void unreadableSettingsShowTheNotice()
    {
        m_platform.settings.insert(counterKey, QStringLiteral("7"));
        m_platform.settingsBroken = true;
        const auto window = start();
        QVERIFY(window);
        QCOMPARE(m_platform.events, QStringList{QStringLiteral("box:4160")});
        QCOMPARE(m_platform.settings.value(counterKey), QStringLiteral("7"));
    }

    void messengerMissing()
    {
        m_platform.messengerAvailable = false;
        QStringList seen;
        m_platform.onMessageBox = [&](const FakePlatform::MessageBox &box) {
            seen.append(box.text.left(20) + (anyMainWindow(true) ? QStringLiteral(" +window") : QString()));
        };
        const auto window = start();
        QVERIFY(window);
        QVERIFY(!m_globals.MessengerLoaded);
        QVERIFY(!m_globals.MessengerApi);
        QCOMPARE(m_platform.messageBoxes.size(), 2);
        QCOMPARE(m_platform.messageBoxes.at(0).text, apiMissing);
        QCOMPARE(m_platform.messageBoxes.at(0).style, 16);
        QCOMPARE(m_platform.messageBoxes.at(1).style, 4160);
        // Both boxes came before the window was shown.
        QCOMPARE(seen, (QStringList{apiMissing.left(20), QStringLiteral("Important informatio")}));
        QVERIFY(window->isVisible());
    }

    void dataFileMissing()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("nexolan.dat")));
        QVERIFY(!start());
        QCOMPARE(m_platform.events, (QStringList{QStringLiteral("box:4160"), QStringLiteral("box:16")}));
        QCOMPARE(m_platform.messageBoxes.last().text, QStringLiteral("Error: Server files not found!"));
        QCOMPARE(m_platform.settings.value(counterKey), QStringLiteral("1"));
        QVERIFY(!anyMainWindow(false));
    }

    void dataFileIsADirectory()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("nexolan.dat")));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("nexolan.dat")));
        m_platform.settings.insert(counterKey, QStringLiteral("3"));
        QVERIFY(!start());
        QCOMPARE(m_platform.messageBoxes.last().text, QStringLiteral("Error: Server files not found!"));
        QVERIFY(QDir(m_dir.path()).rmdir(QStringLiteral("nexolan.dat")));
    }

    void dataFileNamedAfterExecutable()
    {
        m_platform.exeBaseName = QStringLiteral("renamed");
        QVERIFY(!start());
        QFile::copy(m_dir.filePath(QStringLiteral("nexolan.dat")), m_dir.filePath(QStringLiteral("renamed.dat")));
        m_platform.messageBoxes.clear();
        const auto window = start();
        QVERIFY(window);
        QCOMPARE(window->statusText(), QStringLiteral("2 items in database."));
    }

    void emptyOrUnreadableList_data()
    {
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("empty file") << false;
        QTest::newRow("unreadable file") << true;
    }

    void emptyOrUnreadableList()
    {
        QFETCH(bool, unreadable);
        if (unreadable)
            m_platform.failFileReads = true;
        else
            writeList(QByteArray());
        m_platform.settings.insert(counterKey, QStringLiteral("1"));
        const auto window = start();
        QVERIFY(window);
        QVERIFY(m_platform.messageBoxes.isEmpty());
        QCOMPARE(window->statusText(), QStringLiteral("0 items in database."));
        QCOMPARE(window->selectedRow(), -1);
        auto *txtInfo = window->findChild<QPlainTextEdit *>(QStringLiteral("txtInfo"));
        QCOMPARE(txtInfo->toPlainText(), QStringLiteral("Please select a server.\n"));
    }

    void currentServerMarked_data()
    {
        QTest::addColumn<bool>("shell");
        QTest::addColumn<QString>("setting"); // null: no value
        QTest::addColumn<QStringList>("statuses");
        const QString m = CurrentMarker;
        QTest::newRow("host, ip and port") << true << "MyHost;10.0.0.1:01863" << QStringList{m, QString()};
        QTest::newRow("no host name") << true << "10.0.0.2:1864" << QStringList{QString(), m};
        QTest::newRow("no value") << true << QString() << QStringList{QString(), QString()};
        QTest::newRow("no shell object") << false << "myhost;10.0.0.1:1863" << QStringList{QString(), QString()};
    }

    void currentServerMarked()
    {
        QFETCH(bool, shell);
        QFETCH(QString, setting);
        QFETCH(QStringList, statuses);
        m_platform.shellAvailable = shell;
        if (!setting.isNull())
            m_platform.setRegistryValue(MessengerServerValue, RegValue::fromText(setting));
        const auto window = start();
        QVERIFY(window);
        QCOMPARE(window->model()->statuses(), statuses);
    }

    void referralPageAtStartup_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("showLinks");
        QTest::addColumn<bool>("opened");
        QTest::newRow("absent") << false << QString() << false;
        QTest::newRow("empty text") << true << QString() << true;
        QTest::newRow("blank") << true << " " << false;
    }

    void referralPageAtStartup()
    {
        QFETCH(bool, present);
        QFETCH(QString, showLinks);
        QFETCH(bool, opened);
        if (present)
            m_platform.setRegistryValue(ShowLinksPath, RegValue::fromText(showLinks));
        const auto window = start();
        QVERIFY(window);
        QCOMPARE(m_platform.openedUrls, opened ? QStringList{StartupReferralUrl} : QStringList());
        if (opened) // the page opens before the notice
            QCOMPARE(m_platform.events.first(), QStringLiteral("open:") + StartupReferralUrl);
    }

    void largeList()
    {
        QByteArray content;
        for (int i = 0; i < 100000; ++i)
            content += "host" + QByteArray::number(i) + ";10.0." + QByteArray::number(i % 256) + ".1;1863\r\n";
        writeList(content);
        m_platform.settings.insert(counterKey, QStringLiteral("1"));
        const auto window = start();
        QVERIFY(window);
        QCOMPARE(window->statusText(), QStringLiteral("100000 items in database."));
        QCOMPARE(window->model()->row(99999).host, QStringLiteral("host99999"));
    }
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"
