#include "app/LinuxPlatform.h"
#include "app/Main.h"
#include "ui/main/frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nexolan"));

    LinuxPlatform platform;
    AppGlobals globals; // outlives the window, which uses it
    const std::unique_ptr<frmMain> window = Main(platform, globals);
    if (!window)
        return 1; // the server list file is missing
    QObject::connect(window.get(), &frmMain::unloaded, &app, &QCoreApplication::quit);
    return app.exec();
}
