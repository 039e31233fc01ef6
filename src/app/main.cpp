#include "app/Startup.h"
#include "core/Clock.h"
#include "platform/Platform.h"
#include "platform/SystemObjects.h"
#include "platform/linux/DesktopServices.h"
#include "platform/linux/IniSettingsStore.h"
#include "platform/linux/LinuxSystemObjects.h"
#include "ui/WidgetLayout.h"
#include "ui/main/frmMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nexolan"));
    provideTahoma();

    // The per-user stores live in $XDG_CONFIG_HOME/Nexolan (~/.config/Nexolan).
    const QString configFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Nexolan");
    DesktopServices desktop;
    IniSettingsStore settings(configFolder);
    LinuxSystemObjects objects(configFolder + QStringLiteral("/registry.reg"), desktop);
    SteadyClock clock;
    Platform platform{objects, settings, desktop, desktop, clock, QCoreApplication::applicationDirPath(),
                      QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()};

    AppGlobals globals; // outlives the window, which uses it
    const std::unique_ptr<frmMain> window = Main(platform, globals);
    if (!window)
        return 1; // the server list file is missing
    QObject::connect(window.get(), &frmMain::unloaded, &app, &QCoreApplication::quit);
    return app.exec();
}
