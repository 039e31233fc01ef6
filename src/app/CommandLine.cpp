#include "CommandLine.h"

#include "Startup.h"
#include "core/ListTest.h"
#include "core/ListTestModel.h"
#include "core/StoreFile.h"
#include "platform/Console.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

constexpr int ExitAccepted = 0;
constexpr int ExitNoneAccepted = 1;
constexpr int ExitUsage = 2;

const QStringList commandLineOptions{
    QStringLiteral("--test-list"), QStringLiteral("--list"), QStringLiteral("--jobs"), QStringLiteral("--timeout"),
    QStringLiteral("--csv"),       QStringLiteral("--help"), QStringLiteral("-h"),     QStringLiteral("--help-all"),
    QStringLiteral("--version"), QStringLiteral("-v"),
};

// No control character of a list reaches the terminal.
QString printable(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return text;
}

QString csvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString csvTable(const ListTestModel &model)
{
    QString out = QStringLiteral("host,ip,port,connection,response,rating,reply\n");
    for (const int row : model.bestFirst()) {
        QStringList fields;
        for (int column = 0; column < ListTestModel::ColumnCount; ++column)
            fields.append(csvField(printable(model.text(row, column))));
        out += fields.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out;
}

// Columns padded to their widest cell, two blanks apart.
QString alignedTable(const ListTestModel &model)
{
    QVector<QStringList> lines;
    QStringList header;
    for (int column = 0; column < ListTestModel::ColumnCount; ++column)
        header.append(model.headerData(column, Qt::Horizontal).toString());
    lines.append(header);
    for (const int row : model.bestFirst()) {
        QStringList cells;
        for (int column = 0; column < ListTestModel::ColumnCount; ++column)
            cells.append(printable(model.data(model.index(row, column)).toString()));
        lines.append(cells);
    }
    QVector<qsizetype> widths(ListTestModel::ColumnCount, 0);
    for (const QStringList &cells : lines) {
        for (int column = 0; column < cells.size(); ++column)
            widths[column] = std::max(widths[column], cells[column].size());
    }
    QString out;
    for (const QStringList &cells : lines) {
        QString line;
        for (int column = 0; column < cells.size(); ++column)
            line += cells[column].leftJustified(widths[column] + 2);
        out += line.trimmed() + QLatin1Char('\n');
    }
    return out;
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
        QCoreApplication::translate("CommandLine", "Tests every server of the list beside the program (or FILE) "
                                                   "and prints them best first.\n"
                                                   "Exit status: 0 when a server accepts MSNP9 or MSNP10, 1 when "
                                                   "none does, 2 for a usage\nerror or an unreadable list."));
    const QCommandLineOption testList(QStringLiteral("test-list"),
                                      QCoreApplication::translate("CommandLine", "Test every server of the list."));
    const QCommandLineOption list(QStringLiteral("list"),
                                  QCoreApplication::translate("CommandLine", "The server list to test."),
                                  QCoreApplication::translate("CommandLine", "FILE"));
    const QCommandLineOption jobs(
        QStringLiteral("jobs"),
        QCoreApplication::translate("CommandLine", "Connection attempts pending at once, 1 to 10 (default 4)."),
        QCoreApplication::translate("CommandLine", "N"), QStringLiteral("4"));
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
    limits.pending = parser.value(jobs).toInt(&ok);
    if (!ok || limits.pending < 1 || limits.pending > 10)
        return usageError(QCoreApplication::translate("CommandLine", "--jobs takes a whole number from 1 to 10"));
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
    if (status != StoreFile::ReadStatus::Ok) {
        Console::writeError(QCoreApplication::applicationName().toLower() + QStringLiteral(": ") + error
                            + QLatin1Char('\n'));
        return ExitUsage;
    }

    ListTest test(clock, connector);
    test.setLimits(limits);
    ListTestModel model(test, ServerList::parse(bytes, std::nullopt));
    QObject::connect(&test, &ListTest::finished, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    model.start();
    if (test.isRunning())
        app.exec();

    // CSV is read by programs: its numbers always have a decimal point.
    if (parser.isSet(csv))
        QLocale::setDefault(QLocale::c());
    Console::writeOutput(parser.isSet(csv) ? csvTable(model) : alignedTable(model));
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.result(row).reply.acceptsClient())
            return ExitAccepted;
    }
    return ExitNoneAccepted;
}
