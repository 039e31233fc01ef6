#include "WineHelper.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>

namespace {

const QString x64Name = QStringLiteral("nexolan-messenger-x64.exe");
const QString x86Name = QStringLiteral("nexolan-messenger-x86.exe");

} // namespace

WineHelper::WineHelper(const QString &directory, int timeoutMilliseconds)
    : m_directory(directory)
    , m_timeout(timeoutMilliseconds)
{ }

QStringList WineHelper::programs(const WinePrefix &prefix) const
{
    QStringList names
        = prefix.arch() == QLatin1String("win32") ? QStringList{x86Name, x64Name} : QStringList{x64Name, x86Name};
    QStringList paths;
    for (const QString &name : names) {
        const QString path = QDir(m_directory).filePath(name);
        if (QFileInfo(path).isFile())
            paths.append(path);
    }
    return paths;
}

bool WineHelper::exists() const
{
    return QFileInfo(QDir(m_directory).filePath(x64Name)).isFile()
        || QFileInfo(QDir(m_directory).filePath(x86Name)).isFile();
}

WineHelper::Result WineHelper::start(const WinePrefix &prefix, const QString &loader, const QString &program,
                                     const QStringList &arguments) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), prefix.path());
    environment.insert(QStringLiteral("WINELOADER"), loader);
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.remove(QStringLiteral("WINEARCH")); // the prefix has its own; a different one stops Wine

    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(loader, QStringList{program} + arguments);
    Result result;
    const bool started = process.waitForStarted(m_timeout);
    result.finished = started && process.waitForFinished(int(qMax<qint64>(0, m_timeout - timer.elapsed())));
    if (!result.finished) {
        result.failure
            = started ? QStringLiteral("it did not finish within %1 s").arg(m_timeout / 1000.0) : process.errorString();
        process.kill();
        process.waitForFinished(1000);
        return result;
    }
    if (process.exitStatus() == QProcess::CrashExit) {
        result.finished = false;
        result.failure = QStringLiteral("it crashed");
    }
    result.exitCode = process.exitCode();
    result.output = process.readAllStandardOutput();
    result.errorOutput = process.readAllStandardError();
    return result;
}

bool WineHelper::run(const WinePrefix &prefix, const WineServer &server, const QStringList &arguments,
                     QByteArray *output, QString *error)
{
    const QString name = QStringLiteral("nexolan-messenger");
    if (server.loader.isEmpty()) {
        *error = QStringLiteral("The Wine loader of the wineserver of %1 is not run: %2.")
                     .arg(prefix.path(), server.loaderProblem);
        return false;
    }
    if (m_loader != server.loader || m_program.isEmpty()) {
        // A program of the other architecture may run and end at once
        // without doing anything: the helper proves it runs by answering its
        // usage line to an empty command line.
        m_program.clear();
        QString failures;
        for (const QString &program : programs(prefix)) {
            const Result probe = start(prefix, server.loader, program, {});
            if (probe.finished && probe.exitCode == 2 && probe.errorOutput.startsWith("usage:")) {
                m_program = program;
                m_loader = server.loader;
                break;
            }
            failures += QStringLiteral(" %1: %2.")
                            .arg(QFileInfo(program).fileName(),
                                 probe.finished ? QStringLiteral("no answer") : probe.failure);
        }
        if (m_program.isEmpty()) {
            *error = programs(prefix).isEmpty()
                ? QStringLiteral("The helper program %1 is missing from %2.")
                      .arg(name, QDir::toNativeSeparators(m_directory))
                : QStringLiteral("The helper program %1 cannot run in %2:%3").arg(name, prefix.path(), failures);
            return false;
        }
    }
    const Result result = start(prefix, server.loader, m_program, arguments);
    if (!result.finished) {
        *error = QStringLiteral("The helper program %1 failed in %2: %3.").arg(name, prefix.path(), result.failure);
        return false;
    }
    if (result.exitCode != 0) {
        const QString text = QString::fromUtf8(result.errorOutput).trimmed();
        *error = text.isEmpty()
            ? QStringLiteral("The helper program %1 ended with status %2.").arg(name).arg(result.exitCode)
            : text;
        return false;
    }
    *output = result.output;
    return true;
}
