// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/LoopbackServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What a run printed and how it ended.
struct Run
{
    int exitCode = -1;
    QString output;
    QString errors;
};

// Runs the program in the given locale, whatever the locale of the
// environment that runs the tests.
Run runProgram(const QStringList &arguments, const QString &locale = QStringLiteral("C"))
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), locale);
    environment.remove(QStringLiteral("LANGUAGE"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(NEXOLAN_PROGRAM), arguments);
    // The loopback servers answer while it runs.
    if (!QTest::qWaitFor([&program] { return program.state() == QProcess::NotRunning; }, 30000))
        return Run();
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

// One line of a server list: a server on loopback.
QByteArray listLine(const QByteArray &host, quint16 port)
{
    return host + ";127.0.0.1;" + QByteArray::number(port) + "\r\n";
}

} // namespace

// The program's command line, run as a script runs it, against servers on
// loopback.
class TestCommandLine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    LoopbackServer m_refusing{LoopbackServer::Behaviour::Refuse};

    QString writeList(const QString &name, const QByteArray &content)
    {
        QFile file(m_folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            return QString();
        return file.fileName();
    }

private Q_SLOTS:
    // One list tested, best first, in Portuguese. The CSV is read by
    // scripts, so its header and values stay English, its times with a
    // point. The aligned table is read by people: in the user's language, a
    // host's own blanks kept, columns aligned by characters, and no control
    // character of the list on the terminal.
    void testList()
    {
        LoopbackServer accepting(LoopbackServer::Behaviour::Answer, "VER 2 MSNP10\r\n");
        const QByteArray host = "  caf\xe9, bell\x07 escape\x1b[2J c1\x8d";
        const QString list = writeList("list.dat", listLine(host, m_refusing.port) + listLine("a", accepting.port));
        const QString shownHost = QString::fromUtf8("  caf\u00e9, bell\uFFFD escape\uFFFD[2J c1\uFFFD");
        const Run csv = runProgram({"--test-list", "--list", list, "--csv", "--jobs", "1"}, "pt_BR.UTF-8");
        QCOMPARE(csv.exitCode, 0);
        const QStringList csvLines = csv.output.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(csvLines.value(0), "host,ip,port,connection,response,rating,reply");
        // Its times vary; a time's point is no decimal comma.
        const QString best = csvLines.value(1);
        QVERIFY2(best.startsWith("a,127.0.0.1," + QString::number(accepting.port) + ",") && best.endsWith(",MSNP10")
                     && best.count(u',') == 6,
                 qPrintable(best));
        QCOMPARE(csvLines.value(2),
                 '"' + shownHost + "\",127.0.0.1," + QString::number(m_refusing.port)
                     + ",,,,Error (Connection refused)");
        const QStringList lines = runProgram({"--test-list", "--list", list}, "pt_BR.UTF-8").output.split('\n');
        QVERIFY2(lines.value(2).startsWith(shownHost + ' '), qPrintable(lines.value(2)));
        QCOMPARE(lines.value(2).indexOf("127.0.0.1"), lines.value(0).indexOf("IP do host"));
        QCOMPARE(lines.value(2).indexOf("Erro (Conexão recusada)"), lines.value(0).indexOf("Retorno"));
    }

    // Asked for help or the version, or given what it cannot run: the exit
    // status, what standard output holds, and one line on standard error
    // that says what is wrong.
    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // what standard output holds
        QTest::addColumn<QString>("error"); // what the one line on standard error holds
        const auto row = [](const char *name, const QStringList &arguments, int exitCode, const QString &output,
                            const QString &error) { QTest::newRow(name) << arguments << exitCode << output << error; };
        row("help", {"--help"}, 0, "--test-list", "");
        row("help with Qt's options", {"--help-all"}, 0, "--qmljsdebugger", "");
        row("version", {"--version"}, 0, "Nexolan 1.0.0\n", "");
        row("no jobs", {"--test-list", "--jobs", "0"}, 2, "", "--jobs takes a whole number from 1 to 32");
        row("too many jobs", {"--test-list", "--jobs", "33"}, 2, "", "--jobs takes a whole number from 1 to 32");
        row("no time", {"--test-list", "--timeout", "0"}, 2, "", "--timeout takes a number of seconds above 0");
        row("endless time", {"--test-list", "--timeout", "inf"}, 2, "", "--timeout takes a number of seconds above 0");
        // Written as --option=value, which tells a command-line run too.
        row("option without --test-list", {"--list=servers.dat"}, 2, "", "go with --test-list");
        row("unknown option", {"--test-list", "--fast"}, 2, "", "Unknown option 'fast'");
        row("argument", {"--test-list", "list.dat"}, 2, "", "unexpected argument 'list.dat'");
        const QString refusedOnly = writeList("refused.dat", listLine("refusing", m_refusing.port));
        row("no server accepts", {"--test-list", "--list", refusedOnly}, 1, "Error (Connection refused)", "");
        row("missing list", {"--test-list", "--list", "missing.dat"}, 2, "", "missing.dat: it does not exist");
        // Most often a list gives no server because its lines end in LF only.
        const QString lfOnly = writeList("lf.dat", "localhost;127.0.0.1;1\n");
        row("list with LF line ends", {"--test-list", "--list", lfOnly}, 2, "",
            "lf.dat gives no server: each line (host name;IP address;port) must end in CR LF.");
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, error);
        const Run run = runProgram(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(output.isEmpty() ? run.output.isEmpty() : run.output.contains(output), qPrintable(run.output));
        QCOMPARE(run.errors.count('\n'), error.isEmpty() ? 0 : 1);
        QVERIFY2(run.errors.contains(error), qPrintable(run.errors));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
