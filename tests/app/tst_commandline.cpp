#include "support/LoopbackServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The program's command line, run as a script runs it, against servers on
// loopback.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void run_data()
    {
        QTest::addColumn<QStringList>("arguments"); // %1: a list of three servers, %2: of the refused one
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines"); // %1 to %3: the ports; times and ratings as "*"
        QTest::newRow("best first") << QStringList{"--test-list", "--list", "%1", "--csv", "--jobs", "1"} << 0
                                    << QStringList{"host,ip,port,connection,response,rating,reply",
                                                   "a,127.0.0.1,%1,*,*,*,MSNP10",
                                                   "b,127.0.0.1,%2,*,*,*,No common version",
                                                   "\"c,d\",127.0.0.1,%3,*,*,*,Error (Connection refused)"};
        QTest::newRow("none accepts") << QStringList{"--test-list", "--list", "%2", "--csv"} << 1
                                      << QStringList{"host,ip,port,connection,response,rating,reply",
                                                     "\"c,d\",127.0.0.1,%3,*,*,*,Error (Connection refused)"};
        QTest::newRow("usage error") << QStringList{"--test-list", "--jobs", "11"} << 2 << QStringList();
        QTest::newRow("no list") << QStringList{"--test-list", "--list", "%1.missing"} << 2 << QStringList();
    }

    void run()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        LoopbackServer accepting(LoopbackServer::Behaviour::Answer, "VER 2 MSNP10\r\n");
        LoopbackServer noCommon(LoopbackServer::Behaviour::Answer, "VER 2 0\r\n");
        LoopbackServer refusing(LoopbackServer::Behaviour::Refuse);
        const QStringList ports{QString::number(accepting.port), QString::number(noCommon.port),
                                QString::number(refusing.port)};
        QTemporaryDir folder;
        const QString refused = "c,d;127.0.0.1;" + ports[2] + "\r\n";
        const QString three = "b;127.0.0.1;" + ports[1] + "\r\n" + refused + "a;127.0.0.1;" + ports[0] + "\r\n";
        for (const auto &[name, text] : {std::pair{"three.dat", three}, {"refused.dat", refused}}) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text.toLatin1());
        }
        arguments.replaceInStrings("%1", folder.filePath("three.dat"));
        arguments.replaceInStrings("%2", folder.filePath("refused.dat"));

        QProcess program;
        program.start(qEnvironmentVariable("NEXOLAN_PROGRAM"), arguments);
        QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 30000);
        QCOMPARE(program.exitCode(), exitCode);
        QStringList seen;
        for (const QString &line : QString::fromUtf8(program.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.split(',');
            if (line.startsWith("host,")) {
                seen.append(line);
                continue;
            }
            const QStringList masked = fields.mid(0, fields.size() - 4) + QStringList{"*", "*", "*", fields.last()};
            seen.append(masked.join(','));
        }
        for (int n = 0; n < ports.size(); ++n)
            lines.replaceInStrings(QStringLiteral("%%1").arg(n + 1), ports[n]);
        QCOMPARE(seen, lines);
        const QByteArray errors = program.readAllStandardError();
        QCOMPARE(errors.count('\n'), exitCode == 2 ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
