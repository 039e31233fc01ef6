#include "Startup.h"

#include "core/Numbers.h"
#include "core/ServerList.h"
#include "core/StoreFile.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/SystemObjects.h"
#include "ui/about/modGrimhal.h"
#include "ui/main/frmMain.h"

#include <QFileInfo>
#include <QStringList>

namespace {

const QString productName = QStringLiteral("Nexolan");
const QString counterSection = QStringLiteral("Main");
const QString counterKey = QStringLiteral("Opened");

QString launchCounter(Platform &platform)
{
    return platform.settings.GetUserSetting(productName, counterSection, counterKey, QStringLiteral("0"));
}

} // namespace

QString firstRunNotice()
{
    return QStringList({
        QStringLiteral("Important information:"),
        QString(),
        QStringLiteral("Sorry for the grimhal links... I need them, really!"),
        QStringLiteral("Nexolan follows in the footsteps of an earlier server switcher for Messenger."),
        QStringLiteral("I didn't add the 'Test List' option, because there is a limit of connections (check netstat)."),
        QStringLiteral("It uses RegRead and RegWrite functions of the Shell object, so don't be afraid when Norton gives you a warning."),
        QString(),
        QStringLiteral("I screwed my NAV 2k3 so I hope you like it! :P "),
        QString(),
        QStringLiteral("Note: this will only be shown once."),
    }).join(QStringLiteral("\r\n"));
}

std::unique_ptr<frmMain> Main(Platform &platform, AppGlobals &globals)
{
    QString error;
    MessageBoxes &boxes = platform.messageBoxes;

    // 1. The Messenger automation object; without it start-up goes on and
    // the switch skips the sign-out.
    globals.MessengerApi = platform.objects.createMessengerApi(&error);
    globals.MessengerLoaded = globals.MessengerApi != nullptr;
    if (!globals.MessengerLoaded) {
        boxes.ShowMessageBox(QStringLiteral("Can not load the Messenger API Type Library. If you are on Windows XP, this could be the reason."),
                             BoxStyle::ErrorIcon);
    }

    // 2, 3. From here on a failing step is passed over. Without the shell
    // object every registry read and write fails where it happens.
    globals.ShellObject = platform.objects.createShellObject(&error);

    // 4. The start-up referral page, when the user allowed it.
    OpenLink(platform.links, globals.ShellObject.get(), StartupReferralUrl, &error);

    // 5. The notice, until the counter is positive.
    if (!(LeadingNumber(launchCounter(platform)) > 0))
        boxes.ShowMessageBox(firstRunNotice(), BoxStyle::SystemModal | BoxStyle::InformationIcon);

    // 6. Count this launch, before the data file is checked.
    platform.settings.SaveUserSetting(productName, counterSection, counterKey,
                                      NumberText(LeadingNumber(launchCounter(platform)) + 1));

    // 7. Without the server list there is nothing to show. A directory, pipe
    // or device of that name is no list.
    const QString listPath = platform.programDirectory + QLatin1Char('/') + platform.programName + QStringLiteral(".dat");
    if (!QFileInfo(listPath).isFile()) {
        boxes.ShowMessageBox(QStringLiteral("Error: Server files not found!"), BoxStyle::ErrorIcon);
        return nullptr;
    }

    // 8. The server Messenger is set to use; an unreadable setting marks nothing.
    RegValue setting;
    const QString settingText = globals.ShellObject && globals.ShellObject->RegRead(MessengerServerValue, &setting, &error)
        ? setting.toText()
        : QString();
    const std::optional<CurrentServer> current = parseCurrentServer(settingText);

    // 9 to 11. The window, hidden, filled from the file. An unreadable file
    // gives an empty list; one too large to read is said so first.
    auto window = std::make_unique<frmMain>(globals, boxes, platform.links, platform.clock);
    QByteArray bytes;
    if (StoreFile::read(listPath, ServerListSizeLimit, &bytes, &error) == StoreFile::ReadStatus::TooLarge)
        boxes.ShowMessageBox(error, BoxStyle::ErrorIcon);
    ServerList list = ServerList::parse(bytes, current);
    const qsizetype count = list.size();
    window->setServerList(std::move(list));
    window->setStatusText(itemCountText(count));
    window->setRegistryLocation(globals.ShellObject ? globals.ShellObject->location() : QStringLiteral("none"));

    // 12. Show it; showing activates it.
    window->centreOnScreen();
    window->show();
    window->Form_Activate();
    return window;
}
