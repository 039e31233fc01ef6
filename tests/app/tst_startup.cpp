// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"
#include "support/FakePlatform.h"
#include "support/RunAsUser.h"
#include "ui/about/ReferralLinks.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

enum class ListFile { Missing, TooLarge, Folder };
Q_DECLARE_METATYPE(ListFile)

// Later launches of the window program on the fake machine: its steps in
// order, and how it ends. The first launch is run under Wine
// (tst_startup_wine).
class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder; // the program's folder
    const QString m_list = m_folder.filePath("nexolan.dat");

private Q_SLOTS:
    void laterLaunch_data()
    {
        QTest::addColumn<QString>("showLinks"); // the referral flag in the registry
        QTest::addColumn<ListFile>("list");
        QTest::addColumn<QStringList>("events"); // boxes, pages opened and settings saved, in order
        QTest::addColumn<int>("exitStatus");
        QTest::newRow("links allowed, no list")
            << "" << ListFile::Missing
            << QStringList{"open:" + StartupReferralUrl, "save:Opened=2", "box:error:Error: Server files not found!"}
            << 1;
        QTest::newRow("links not allowed by a blank, list too large")
            << " " << ListFile::TooLarge
            << QStringList{"save:Opened=2",
                           "box:error:Cannot read " + m_list
                               + ": it has 64.0 MiB (67,108,865 bytes), more than the 64.0 MiB (67,108,864 bytes) "
                                 "that are read."}
            << 0;
        QTest::newRow("a folder of the list's name")
            << " " << ListFile::Folder << QStringList{"save:Opened=2", "box:error:Error: Server files not found!"} << 1;
    }

    void laterLaunch()
    {
        QFETCH(QString, showLinks);
        QFETCH(ListFile, list);
        QFETCH(QStringList, events);
        QFETCH(int, exitStatus);
        QFile file(m_list);
        file.remove();
        if (list == ListFile::TooLarge)
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(ServerListSizeLimit + 1));
        file.close();
        if (list == ListFile::Folder)
            QVERIFY(QDir().mkdir(m_list));
        FakePlatform fake(m_folder.path());
        fake.settings.insert("Opened", "1");
        setRegistryText(fake, ShowLinksPath, showLinks);
        const ProgramRun run = runAsUser(fake.platform, [](MainWindow &) {});
        QCOMPARE(fake.events, events);
        QCOMPARE(run.exitStatus, exitStatus);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
