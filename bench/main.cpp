// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmark program. Without arguments it runs every benchmark; the usual
// Google Benchmark options apply (--benchmark_filter=..., --benchmark_format=json).
// Windows go to Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "BenchData.h"
#include "Startup.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt warns in every process when there is no runtime directory; give the
    // benchmarks and their child processes one of their own.
    QTemporaryDir runtimeDirectory;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDirectory.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDirectory.path()));

    if (argc == 4 && Startup::childOption == QLatin1String(argv[1]))
        return Startup::runChild(1, argv, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    if (argc == 3 && QLatin1String(argv[1]) == QLatin1String("--load-list")) {
        QCoreApplication app(argc, argv);
        return BenchData::loadListChild(QString::fromLocal8Bit(argv[2]));
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    QApplication app(argc, argv);
    // The process's first window loads the platform plugin, the style and the
    // fonts; show one before measuring anything.
    {
        double ignored = 0;
        Startup::startAndPaint(Startup::Kind::Empty, QString(), &ignored);
    }

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
