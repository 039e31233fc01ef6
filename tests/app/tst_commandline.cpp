// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/LoopbackServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One row the CSV table must show, best first.
struct CsvRow
{
    QString host;
    quint16 port = 0;
    QString reply;
};

// What a run printed and how it ended.
struct Run
{
    int exitCode = -1;
    QString output;
    QString errors;
};

Run runProgram(const QStringList &arguments)
{
    QProcess program;
    program.start(qEnvironmentVariable("NEXOLAN_PROGRAM"), arguments);
    Run run; // the loopback servers answer while it runs
    if (!QTest::qWaitFor([&program] { return program.state() == QProcess::NotRunning; }, 30000))
        return run;
    run.exitCode = program.exitCode();
    run.output = QString::fromUtf8(program.readAllStandardOutput());
    run.errors = QString::fromUtf8(program.readAllStandardError());
    return run;
}

QString writeList(const QTemporaryDir &folder, const QString &name, const QByteArray &content)
{
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return file.fileName();
}

} // namespace

// The program's command line, run as a script runs it, against servers on
// loopback.
class TestCommandLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;

private Q_SLOTS:
    // Best first, as CSV; a run where none accepts: aligned().
    void csv()
    {
        LoopbackServer accepting(LoopbackServer::Behaviour::Answer, "VER 2 MSNP10\r\n");
        LoopbackServer noCommon(LoopbackServer::Behaviour::Answer, "VER 2 0\r\n");
        LoopbackServer refusing(LoopbackServer::Behaviour::Refuse);
        const QByteArray list = "b;127.0.0.1;" + QByteArray::number(noCommon.port) + "\r\nc,d;127.0.0.1;"
            + QByteArray::number(refusing.port) + "\r\na;127.0.0.1;" + QByteArray::number(accepting.port) + "\r\n";
        const QVector<CsvRow> rows{{"a", accepting.port, "MSNP10"},
                                   {"b", noCommon.port, "No common version"},
                                   {"\"c,d\"", refusing.port, "Error (Connection refused)"}};
        // Scripts read the CSV: its header and values stay English in the user's language.
        qputenv("LC_ALL", "pt_BR.UTF-8");
        qputenv("LANGUAGE", "pt_BR");
        const Run run = runProgram(
            {"--test-list", "--list", writeList(m_folder, "csv.dat", list), "--csv", "--jobs", "1"});
        qunsetenv("LC_ALL");
        qunsetenv("LANGUAGE");
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.errors, QString());
        const QStringList lines = run.output.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), "host,ip,port,connection,response,rating,reply");
        QCOMPARE(lines.size(), rows.size() + 1);
        for (int n = 0; n < rows.size(); ++n) {
            const QString &line = lines.at(n + 1);
            QVERIFY2(line.startsWith(rows[n].host + ",127.0.0.1," + QString::number(rows[n].port) + ","),
                     qPrintable(line));
            QVERIFY2(line.endsWith("," + rows[n].reply), qPrintable(line));
        }
    }

    // Asked for help or the version, or given what it cannot run: the exit
    // status, what standard output holds, and one line on standard error
    // that says what is wrong.
    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("list"); // when not null: written to a file given with --list
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // what standard output holds
        QTest::addColumn<QString>("error"); // what the one line on standard error holds
        const QByteArray none;
        QTest::newRow("help") << QStringList{"--help"} << none << 0 << "--test-list"
                              << "";
        QTest::newRow("help with Qt's options") << QStringList{"--help-all"} << none << 0 << "--qmljsdebugger"
                                                << "";
        QTest::newRow("version") << QStringList{"--version"} << none << 0 << "Nexolan 1.0.0\n"
                                 << "";
        QTest::newRow("too many jobs") << QStringList{"--test-list", "--jobs", "33"} << none << 2 << ""
                                       << "--jobs takes a whole number from 1 to 32";
        QTest::newRow("bad time-out") << QStringList{"--test-list", "--timeout", "0"} << none << 2 << ""
                                      << "--timeout takes a number of seconds above 0";
        QTest::newRow("option without --test-list") << QStringList{"--csv"} << none << 2 << ""
                                                    << "go with --test-list";
        QTest::newRow("missing list") << QStringList{"--test-list", "--list", "missing.dat"} << none << 2 << ""
                                      << "missing.dat: it does not exist";
        QTest::newRow("empty list")
            << QStringList{"--test-list"} << QByteArray("") << 2 << ""
            << "list.dat gives no server: each line (host name;IP address;port) must end in CR LF.";
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, list);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, error);
        if (!list.isNull())
            arguments << "--list" << writeList(m_folder, "list.dat", list);
        const Run run = runProgram(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(output.isEmpty() ? run.output.isEmpty() : run.output.contains(output), qPrintable(run.output));
        QCOMPARE(run.errors.count('\n'), error.isEmpty() ? 0 : 1);
        QVERIFY2(run.errors.contains(error), qPrintable(run.errors));
    }

    // The aligned table: a host's own blanks kept, columns aligned by
    // characters, and no control character of the list on the terminal.
    void aligned()
    {
        LoopbackServer refusing(LoopbackServer::Behaviour::Refuse);
        const QByteArray port = QByteArray::number(refusing.port);
        const QByteArray list = "  spaced;127.0.0.1;" + port + "\r\ncaf\xe9;127.0.0.1;" + port
            + "\r\nbell\x07 escape\x1b[2J c1\x8d;127.0.0.1;" + port + "\r\n";
        const Run run = runProgram({"--test-list", "--list", writeList(m_folder, "aligned.dat", list)});
        QCOMPARE(run.exitCode, 1);
        const QStringList lines = run.output.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].startsWith("Host Name  "), qPrintable(lines[0]));
        QCOMPARE(lines[1].left(8), "  spaced");
        QCOMPARE(lines[2].left(5), QString::fromUtf8("caf\u00e9 "));
        QCOMPARE(lines[3].left(20), QString::fromUtf8("bell\uFFFD escape\uFFFD[2J c1\uFFFD"));
        const qsizetype ipColumn = lines[0].indexOf("Host IP");
        const qsizetype replyColumn = lines[0].indexOf("Reply");
        for (const QString &line : lines.mid(1)) {
            QCOMPARE(line.indexOf("127.0.0.1"), ipColumn);
            QCOMPARE(line.indexOf("Error (Connection refused)"), replyColumn);
        }
        const auto isControl = [](QChar c) { return c.category() == QChar::Other_Control; };
        QVERIFY(std::none_of(run.output.begin(), run.output.end(), [&](QChar c) { return c != '\n' && isControl(c); }));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
