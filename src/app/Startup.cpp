// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"

#include "core/Numbers.h"
#include "core/ServerList.h"
#include "core/StoreFile.h"
#include "platform/LinkOpener.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/Registry.h"
#include "platform/SettingsStore.h"
#include "platform/SystemObjects.h"
#include "ui/about/ReferralLinks.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QStringList>
#include <QTimer>

namespace {

const QString productName = QStringLiteral("Nexolan");
const QString counterSection = QStringLiteral("Main");
const QString counterKey = QStringLiteral("Opened");

QString launchCounter(Platform &platform)
{
    return platform.settings.value(productName, counterSection, counterKey, QStringLiteral("0"));
}

} // namespace

QString firstRunNotice()
{
    return QStringList(
               {
                   QCoreApplication::translate("Startup", "Important information:"),
                   QString(),
                   QCoreApplication::translate("Startup", "Sorry for the grimhal links... I need them, really!"),
                   QCoreApplication::translate("Startup",
                                               "Nexolan follows in the footsteps of an earlier server switcher for "
                                               "Messenger."),
                   QCoreApplication::translate("Startup",
                                               "I didn't add the 'Test List' option, because there is a limit of "
                                               "connections (check netstat)."),
                   QCoreApplication::translate("Startup",
                                               "It uses RegRead and RegWrite functions of the Shell object, so don't "
                                               "be afraid when Norton gives you a warning."),
                   QString(),
                   QCoreApplication::translate("Startup", "I screwed my NAV 2k3 so I hope you like it! :P "),
                   QString(),
                   QCoreApplication::translate("Startup", "Note: this will only be shown once."),
               })
        .join(QStringLiteral("\r\n"));
}

namespace {

// Start-up once the referral flag and Messenger's setting are read.
void finishStartUp(Platform &platform, StartedObjects &started, const RegistryReading &showLinks,
                   const RegistryReading &serverSetting, const StartUpDone &done)
{
    QString error;
    MessageBoxes &boxes = platform.messageBoxes;

    // The start-up referral page, when the user allowed it.
    if (referralLinksAllowed(showLinks))
        platform.links.openUrl(StartupReferralUrl);

    // The one-time notice, until the counter is positive.
    if (!(leadingNumber(launchCounter(platform)) > 0))
        boxes.showMessage(firstRunNotice(), MessageStyle::SystemModalInformation);

    // Count this launch, before the data file is checked.
    platform.settings.setValue(productName, counterSection, counterKey,
                               numberText(leadingNumber(launchCounter(platform)) + 1));

    // Without the server list there is nothing to show. A directory, pipe
    // or device of that name is no list.
    const QString listPath = platform.programDirectory + QLatin1Char('/') + platform.programName
        + QStringLiteral(".dat");
    if (!QFileInfo(listPath).isFile()) {
        boxes.showMessage(QCoreApplication::translate("Startup", "Error: Server files not found!"),
                          MessageStyle::Error);
        done(nullptr);
        return;
    }

    // The server Messenger is set to use; an unreadable setting marks nothing.
    const QString settingText = serverSetting.ok ? serverSetting.value.toText() : QString();
    const std::optional<CurrentServer> current = parseCurrentServer(settingText);

    // The window, hidden, filled from the file, with the item count and
    // where Messenger's setting lives in its status bar. An unreadable file
    // gives an empty list; one too large to read is said so first.
    auto window = std::make_unique<MainWindow>(started.messenger.get(), *started.registry, boxes, platform.links,
                                               platform.clock, platform.connector);
    QByteArray bytes;
    if (StoreFile::read(listPath, ServerListSizeLimit, &bytes, &error) == StoreFile::ReadStatus::TooLarge)
        boxes.showMessage(error, MessageStyle::Error);
    ServerList list = ServerList::parse(bytes, current);
    const qsizetype count = list.size();
    window->setServerList(std::move(list));
    window->setStatusText(itemCountText(count));
    window->setRegistryLocation(started.registry->location());

    // Show it, centred; showing activates it.
    window->centreOnScreen();
    window->show();
    window->activateList();
    done(std::move(window));
}

} // namespace

void startUp(Platform &platform, StartedObjects &started, StartUpDone done)
{
    QString error;

    // The Messenger automation object; without it start-up goes on and
    // the switch skips the sign-out.
    started.messenger = platform.objects.createMessenger(&error);
    if (!started.messenger) {
        platform.messageBoxes.showMessage(QCoreApplication::translate("Startup",
                                                                      "Can not load the Messenger API Type "
                                                                      "Library. If you are on Windows XP, "
                                                                      "this could be the reason."),
                                          MessageStyle::Error);
    }

    // From here on a failing step is passed over. Without the registry
    // every read and write of it fails where it happens, with the reason.
    started.registry = platform.objects.createRegistry(&error);
    if (!started.registry)
        started.registry = std::make_unique<UnavailableRegistry>(error);

    // The referral flag and Messenger's setting, read together: under Wine
    // with a running wineserver that is one run of the helper, whose answer
    // start-up waits for without blocking the event loop.
    started.registry->read({ShowLinksPath, MessengerServerValue},
                           [&platform, &started, done](const QList<RegistryReading> &readings) {
                               finishStartUp(platform, started, readings.at(0), readings.at(1), done);
                           });
}

int runWindowProgram(Platform &platform)
{
    // A modal box is a window of its own: closed while the main window is
    // not up yet, it would be the last window closed, which quits Qt's
    // event loop by default.
    QApplication::setQuitOnLastWindowClosed(false);
    StartedObjects started; // outlives the window, which uses them
    std::unique_ptr<MainWindow> window;
    // Start-up runs in the event loop, which goes on while it waits for
    // Messenger's setting.
    QTimer::singleShot(0, qApp, [&] {
        startUp(platform, started, [&window](std::unique_ptr<MainWindow> shown) {
            if (!shown) {
                QCoreApplication::exit(1); // the server list file is missing
                return;
            }
            window = std::move(shown);
            QObject::connect(window.get(), &MainWindow::unloaded, qApp, &QCoreApplication::quit);
        });
    });
    return QCoreApplication::exec();
}
