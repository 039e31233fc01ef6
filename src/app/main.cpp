// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/Startup.h"
#include "app/Translations.h"
#include "core/SteadyClock.h"
#include "platform/Platform.h"
#include "platform/SystemConnector.h"
#include "platform/SystemObjects.h"
#ifdef Q_OS_WIN
#include "platform/windows/ProgramFile.h"
#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/WindowsDesktop.h"
#include "platform/windows/WindowsSystemObjects.h"
#else
#include "platform/linux/DesktopServices.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/LinuxSystemObjects.h"
#include "platform/wine/WineSystemObjects.h"
#endif
#include "ui/WidgetLayout.h"

#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

namespace {

// The executable as the system reports it.
QFileInfo programFile()
{
#ifdef Q_OS_WIN
    const QString path = programFilePath();
    return QFileInfo(path.isEmpty() ? QCoreApplication::applicationFilePath() : path);
#else
    return QFileInfo(QCoreApplication::applicationFilePath());
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    SteadyClock clock;
    const std::unique_ptr<ProbeConnector> connector = createSystemConnector();

    // The command line runs without a window, a box or the launch counter.
    if (isCommandLineRun(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Nexolan"));
        QCoreApplication::setApplicationVersion(QStringLiteral(NEXOLAN_VERSION));
        const QFileInfo program = programFile();
        // The help, the errors and the aligned table in the user's language; the CSV stays English.
        Translations translations(program.absolutePath());
        translations.install(QLocale::system().uiLanguages());
        const QString list = program.absolutePath() + QLatin1Char('/') + program.completeBaseName()
            + QStringLiteral(".dat");
        return runCommandLine(app, list, *connector, clock);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nexolan"));
    // The desktop entry that the window belongs to, for its icon and name in
    // the desktop's task switcher.
    QGuiApplication::setDesktopFileName(QStringLiteral(NEXOLAN_APP_ID));
    provideTahoma();
    const QFileInfo program = programFile();
    // The user's language, before the first window or box.
    Translations translations(program.absolutePath());
    translations.install(QLocale::system().uiLanguages());

#ifdef Q_OS_WIN
    // The settings and Messenger's server setting live in the registry.
    WindowsDesktop desktop;
    RegistrySettingsStore settings;
    WindowsSystemObjects objects;
#else
    // The per-user stores live in $XDG_CONFIG_HOME/Nexolan (~/.config/Nexolan).
    const QString configFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Nexolan");
    DesktopServices desktop;
    IniSettingsStore settings(configFolder);
    // Messenger's own registry where it runs under Wine; the helper programs
    // that reach into the prefix lie beside this program.
    LinuxSystemObjects objects(configFolder + QStringLiteral("/registry.reg"), desktop,
                               std::make_unique<WineSystemObjects>(findWinePrefix(WineEnvironment::fromProcess()),
                                                                   QCoreApplication::applicationDirPath()));
#endif
    Platform platform{
        objects, settings, desktop, desktop, clock, *connector, program.absolutePath(), program.completeBaseName()};

    return runWindowProgram(platform);
}
