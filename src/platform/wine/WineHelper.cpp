// SPDX-License-Identifier: GPL-3.0-or-later
#include "WineHelper.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {

const QString helperName = QStringLiteral("nexolan-messenger");
const QString x64Name = QStringLiteral("nexolan-messenger-x64.exe");
const QString x86Name = QStringLiteral("nexolan-messenger-x86.exe");

// Whenever the helper gets to work it prints at least one line on standard
// output, failures included. Wine, failing to start it (a helper of another
// architecture, a broken prefix), prints nothing there, whatever its status.
bool helperRan(const QProcess &process, const QByteArray &output)
{
    return process.exitStatus() == QProcess::NormalExit && !output.trimmed().isEmpty();
}

} // namespace

WineHelper::WineHelper(const QString &directory, int timeoutMilliseconds)
    : m_directory(directory)
    , m_timeout(timeoutMilliseconds)
{ }

// The helpers still running are killed with their QProcess objects, and
// their `done` is never called.
WineHelper::~WineHelper() = default;

QStringList WineHelper::programs(const WinePrefix &prefix) const
{
    // Once one has run in the prefix, user.reg (megabytes in a prefix long
    // in use) is not read for its architecture again.
    const QString chosen = m_chosen.value(prefix.path());
    if (!chosen.isEmpty())
        return QStringList{chosen};
    const QStringList names = prefix.arch() == QLatin1String("win32") ? QStringList{x86Name, x64Name}
                                                                      : QStringList{x64Name, x86Name};
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

void WineHelper::run(const WinePrefix &prefix, const WineServer &server, const QStringList &arguments, Done done)
{
    Result refused;
    const QStringList candidates = programs(prefix);
    if (server.loader.isEmpty()) {
        refused.error = tr("The Wine loader of the wineserver of %1 is not run: %2.")
                            .arg(prefix.path(), server.loaderProblem);
    } else if (candidates.isEmpty()) {
        refused.error = tr("The helper program %1 is missing from %2.")
                            .arg(helperName, QDir::toNativeSeparators(m_directory));
    } else {
        start({prefix, server.loader, candidates, arguments, std::move(done)});
        return;
    }
    // Answered from the event loop, as a run would be.
    QTimer::singleShot(0, this, [done = std::move(done), refused] { done(refused); });
}

void WineHelper::start(Attempt attempt)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), attempt.prefix.path());
    environment.insert(QStringLiteral("WINELOADER"), attempt.loader);
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.remove(QStringLiteral("WINEARCH")); // the prefix has its own; a different one stops Wine

    auto *process = new QProcess(this);
    auto *limit = new QTimer(process);
    process->setProcessEnvironment(environment);
    process->setStandardInputFile(QProcess::nullDevice());
    limit->setSingleShot(true);
    limit->start(m_timeout);

    // Ends the run once: the process finished, failed to start, or outlived
    // the limit. A process still running is killed and deleted once it ends,
    // so that nothing waits for it.
    const auto finish = [this, process, limit, attempt](const QString &failure) {
        process->disconnect(this);
        limit->stop();
        if (process->state() == QProcess::NotRunning) {
            process->deleteLater();
        } else {
            connect(process, &QProcess::finished, process, &QObject::deleteLater);
            process->kill();
        }
        const QString program = QFileInfo(attempt.programs.first()).fileName();
        const QByteArray output = process->readAllStandardOutput();
        const bool ran = failure.isEmpty() && helperRan(*process, output);
        // A helper whose wineserver ended under it (wineserver -k) did not
        // fail to start: the other helper would only start a new server.
        const bool serverEnded = failure.isEmpty() && !ran && !attempt.prefix.server();
        if (failure.isEmpty() && !ran && !serverEnded && attempt.programs.size() > 1) {
            Attempt next = attempt;
            next.programs.removeFirst();
            start(next);
            return;
        }
        Result result;
        if (!failure.isEmpty()) {
            result.error = tr("The helper program %1 failed in %2: %3.").arg(program, attempt.prefix.path(), failure);
        } else if (serverEnded) {
            result.error = tr("The wineserver of %1 ended while the helper program %2 ran.")
                               .arg(attempt.prefix.path(), program);
        } else if (!ran) {
            const QString wineSays = QString::fromLocal8Bit(process->readAllStandardError()).simplified();
            result.error = tr("The helper program %1 cannot run in %2: %3")
                               .arg(program, attempt.prefix.path(),
                                    wineSays.isEmpty() ? tr("it gave no answer.") : wineSays);
        } else {
            m_chosen.insert(attempt.prefix.path(), attempt.programs.first());
            result.output = output;
            result.ok = process->exitCode() == 0;
            if (!result.ok)
                result.error = QString::fromUtf8(process->readAllStandardError()).trimmed();
            if (!result.ok && result.error.isEmpty())
                result.error = tr("The helper program %1 ended with status %2.").arg(program).arg(process->exitCode());
        }
        attempt.done(result);
    };
    connect(process, &QProcess::finished, this,
            [process, finish] { finish(process->exitStatus() == QProcess::CrashExit ? tr("it crashed") : QString()); });
    connect(process, &QProcess::errorOccurred, this, [process, finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(process->errorString());
    });
    connect(limit, &QTimer::timeout, this,
            [this, finish] { finish(tr("it did not finish within %1 s").arg(m_timeout / 1000.0)); });
    process->start(attempt.loader, QStringList{attempt.programs.first()} + attempt.arguments);
}
