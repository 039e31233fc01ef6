// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "Startup.h"
#include "core/ListTest.h"
#include "core/ListTestModel.h"
#include "core/ResultTable.h"
#include "core/StoreFile.h"
#include "platform/Console.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QStringList>

#include <cmath>

namespace {

constexpr int ExitAccepted = 0;
constexpr int ExitNoneAccepted = 1;
constexpr int ExitUsage = 2;

const QStringList commandLineOptions{
    QStringLiteral("--test-list"), QStringLiteral("--list"), QStringLiteral("--jobs"), QStringLiteral("--timeout"),
    QStringLiteral("--csv"),       QStringLiteral("--help"), QStringLiteral("-h"),     QStringLiteral("--help-all"),
    QStringLiteral("--version"),   QStringLiteral("-v"),
};

// One line on standard error: the program's name and what is wrong; the
// exit status of a bad list.
int failure(const QString &message)
{
    Console::writeError(QCoreApplication::applicationName().toLower() + QStringLiteral(": ") + message
                        + QLatin1Char('\n'));
    return ExitUsage;
}

int usageError(const QString &message)
{
    Console::writeError(QCoreApplication::translate("CommandLine", "%1: %2 (see --help)")
                            .arg(QCoreApplication::applicationName().toLower(), message)
                        + QLatin1Char('\n'));
    return ExitUsage;
}

} // namespace

bool isCommandLineRun(int argc, char **argv)
{
    for (int n = 1; n < argc; ++n) {
        const QString name = QString::fromLocal8Bit(argv[n]).section(QLatin1Char('='), 0, 0);
        if (commandLineOptions.contains(name))
            return true;
    }
    return false;
}

int runCommandLine(QCoreApplication &app, const QString &defaultListPath, ProbeConnector &connector, Clock &clock)
{
    Console::attachToParent();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine",
                                    "Tests every server of the list beside the program (or FILE) "
                                    "and prints them best first.\n"
                                    "Exit status: 0 when a server accepts MSNP9 or MSNP10, 1 when "
                                    "none does, 2 for a usage\nerror, an unreadable list or one "
                                    "that gives no server."));
    const QCommandLineOption testList(QStringLiteral("test-list"),
                                      QCoreApplication::translate("CommandLine", "Test every server of the list."));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QCoreApplication::translate("CommandLine", "The server list to test."),
                                  QCoreApplication::translate("CommandLine", "FILE"));
    const QCommandLineOption jobs(
        QStringLiteral("jobs"),
        QCoreApplication::translate("CommandLine", "Connections at once, attempts included, 1 to 32 (default 32)."),
        QCoreApplication::translate("CommandLine", "N"), QStringLiteral("32"));
    const QCommandLineOption timeout(
        QStringLiteral("timeout"),
        QCoreApplication::translate("CommandLine", "Time limit per server in seconds (default 10)."),
        QCoreApplication::translate("CommandLine", "SECONDS"), QStringLiteral("10"));
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 QCoreApplication::translate("CommandLine", "Print comma-separated values."));
    parser.addOptions({testList, list, jobs, timeout, csv});
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();

    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(app); // prints the help with Qt's own options and ends the program
    if (parser.isSet(help)) {
        Console::writeOutput(parser.helpText());
        return ExitAccepted;
    }
    if (parser.isSet(version)) {
        Console::writeOutput(QCoreApplication::applicationName() + QLatin1Char(' ')
                             + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
        return ExitAccepted;
    }
    if (!parser.isSet(testList))
        return usageError(
            QCoreApplication::translate("CommandLine", "--list, --jobs, --timeout and --csv go with --test-list"));
    if (!parser.positionalArguments().isEmpty())
        return usageError(QCoreApplication::translate("CommandLine", "unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst()));

    ListTest::Limits limits;
    bool ok = false;
    limits.open = parser.value(jobs).toInt(&ok);
    if (!ok || limits.open < 1 || limits.open > ListTest::Limits().open) {
        return usageError(QCoreApplication::translate("CommandLine", "--jobs takes a whole number from 1 to %1")
                              .arg(ListTest::Limits().open));
    }
    limits.timeLimit = QLocale::c().toDouble(parser.value(timeout), &ok);
    if (!ok || !(limits.timeLimit > 0) || !std::isfinite(limits.timeLimit))
        return usageError(QCoreApplication::translate("CommandLine", "--timeout takes a number of seconds above 0"));

    const QString listPath = parser.isSet(list) ? parser.value(list) : defaultListPath;
    QByteArray bytes;
    QString error;
    const StoreFile::ReadStatus status = StoreFile::read(listPath, ServerListSizeLimit, &bytes, &error);
    if (status == StoreFile::ReadStatus::Missing)
        error = QCoreApplication::translate("CommandLine", "Cannot read %1: it does not exist.")
                    .arg(QDir::toNativeSeparators(listPath));
    if (status != StoreFile::ReadStatus::Ok)
        return failure(error);

    // A list that gives no server is a mistake of the list, not a result:
    // most often it has LF-only line endings.
    const ServerList servers = ServerList::parse(bytes, std::nullopt);
    if (servers.size() == 0) {
        return failure(QCoreApplication::translate("CommandLine",
                                                   "%1 gives no server: each line (host name;IP "
                                                   "address;port) must end in CR LF.")
                           .arg(QDir::toNativeSeparators(listPath)));
    }

    ListTest test(clock, connector);
    test.setLimits(limits);
    ListTestModel model(test, servers);
    QObject::connect(&test, &ListTest::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    model.start();
    if (test.isRunning())
        app.exec();

    // CSV is read by programs: its numbers always have a decimal point.
    if (parser.isSet(csv))
        QLocale::setDefault(QLocale::c());
    const TableFormat format = parser.isSet(csv) ? TableFormat::Csv : TableFormat::Aligned;
    Console::writeOutput(resultTable(model, model.bestFirst(), format));
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.result(row).reply.acceptsClient())
            return ExitAccepted;
    }
    return ExitNoneAccepted;
}
