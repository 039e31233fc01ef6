// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows platform under Wine: the registry shell on the real registry;
// Messenger's object while its class is not registered and while the
// registered client does not run. installer.sh checks the rest through the
// program: the settings store's launch counter, the sign-out of a running
// client and the switch.
#include "platform/windows/WindowsRegistry.h"
#include "platform/windows/WindowsSystemObjects.h"

#include "MessengerAutomation.h"

#include <windows.h>

#include <QtTest>

class TestWindowsPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void registryShell()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\NexolanWindowsTest");
        const QString key = QStringLiteral("HKEY_CURRENT_USER\\Software\\NexolanWindowsTest");
        WindowsRegistry shell;
        const QString text = QString::fromUtf8("Süd Сервер 中文;10.0.0.1:1863");
        QString error;
        QVERIFY2(shell.writeValue(key + "\\New\\Server", text, &error), qPrintable(error)); // makes the key
        RegistryValue value;
        QVERIFY2(shell.readValue(key + "\\New\\Server", &value, &error), qPrintable(error));
        QCOMPARE(value.toText(), text);
        const DWORD port = 1863;
        QCOMPARE(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\NexolanWindowsTest", L"Port", REG_DWORD, &port, 4), 0);
        QVERIFY2(shell.readValue(key + "\\Port", &value, &error), qPrintable(error));
        QCOMPARE(value.toText(), "1863");
        QVERIFY(!shell.readValue(key + "\\Missing", &value, &error) && !error.isEmpty());
    }

    // A sign-out while the client does not run fails at once, naming the
    // program of the class's registration: creating the object would start it.
    void messenger()
    {
        const std::wstring classKey = std::wstring(L"Software\\Classes\\CLSID\\") + nexolan::win32::messengerClassId;
        RegDeleteTreeW(HKEY_CURRENT_USER, classKey.c_str());
        WindowsSystemObjects objects;
        QString error;
        QVERIFY2(!objects.createMessenger(&error) && error.contains("not registered"), qPrintable(error));
        const QString server = "HKEY_CURRENT_USER\\" + QString::fromStdWString(classKey) + "\\LocalServer32\\";
        QVERIFY(WindowsRegistry().writeValue(server, "\"C:\\Program Files\\Messenger\\Messenger 7.exe\" /automation",
                                             &error));
        const std::unique_ptr<Messenger> api = objects.createMessenger(&error);
        QVERIFY(api);
        bool signedOut = true;
        api->signOut([&](bool done, const QString &reason) { // answered within the call on Windows
            signedOut = done;
            error = reason;
        });
        QVERIFY2(!signedOut && error.contains("no process Messenger 7.exe"), qPrintable(error));
    }
};

QTEST_MAIN(TestWindowsPlatform)
#include "tst_windowsplatform.moc"
