#include "Main.h"

#include "Platform.h"
#include "modServers.h"
#include "servers/Numbers.h"
#include "servers/ServerList.h"
#include "ui/about/modGrimhal.h"
#include "ui/main/frmMain.h"

#include <QStringList>

namespace {

const QString productName = QStringLiteral("Nexolan");
const QString counterSection = QStringLiteral("Main");
const QString counterKey = QStringLiteral("Opened");

QString launchCounter(Platform &platform)
{
    return platform.GetUserSetting(productName, counterSection, counterKey, QStringLiteral("0"));
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

    // 1. The Messenger automation object; without it start-up goes on and
    // the switch skips the sign-out.
    globals.MessengerApi = platform.createMessengerApi(&error);
    globals.MessengerLoaded = globals.MessengerApi != nullptr;
    if (!globals.MessengerLoaded) {
        platform.ShowMessageBox(QStringLiteral("Can not load the Messenger API Type Library. If you are on Windows XP, this could be the reason."),
                                MB_ICONERROR);
    }

    // 2, 3. From here on a failing step is passed over. Without the shell
    // object every registry read and write fails where it happens.
    globals.ShellObject = platform.createShellObject(&error);

    // 4. The start-up referral page, when the user allowed it.
    OpenLink(platform, globals.ShellObject.get(), StartupReferralUrl, &error);

    // 5. The notice, until the counter is positive.
    if (!(LeadingNumber(launchCounter(platform)) > 0))
        platform.ShowMessageBox(firstRunNotice(), MB_SYSTEMMODAL | MB_ICONINFORMATION);

    // 6. Count this launch, before the data file is checked.
    platform.SaveUserSetting(productName, counterSection, counterKey,
                             NumberText(LeadingNumber(launchCounter(platform)) + 1));

    // 7. Without the server list there is nothing to show.
    const QString listPath = JoinPath(platform.applicationDirPath(), platform.executableBaseName() + QStringLiteral(".dat"));
    if (!platform.FileExists(listPath)) {
        platform.ShowMessageBox(QStringLiteral("Error: Server files not found!"), MB_ICONERROR);
        return nullptr;
    }

    // 8. The server Messenger is set to use; an unreadable setting marks nothing.
    RegValue setting;
    const QString settingText =
        RegReadValue(globals.ShellObject.get(), MessengerServerValue, &setting, &error) ? setting.toText() : QString();
    const std::optional<CurrentServer> current = parseCurrentServer(settingText);

    // 9 to 11. The window, hidden, filled from the file; an unreadable file
    // gives an empty list.
    auto window = std::make_unique<frmMain>(platform, globals);
    QByteArray bytes;
    if (!platform.readWholeFile(listPath, &bytes))
        bytes.clear();
    QVector<ServerEntry> rows = parseServerList(decodeServerListBytes(bytes), current);
    const qsizetype count = rows.size();
    window->setServerRows(std::move(rows));
    window->setStatusText(itemCountText(count));

    // 12. Show it; showing activates it.
    window->centreOnScreen();
    window->show();
    window->Form_Activate();
    return window;
}
