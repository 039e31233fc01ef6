// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows platform under Wine: the registry shell and the settings store
// on the real registry, Messenger through the stand-in (msnmsgr.exe beside us).
#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/WindowsRegistry.h"
#include "platform/windows/WindowsSystemObjects.h"

#include "MessengerAutomation.h"

#include <windows.h>

#include <QtTest>

static const wchar_t testSubKey[] = L"Software\\NexolanWindowsTest";
static const QString testKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\NexolanWindowsTest");

class TestWindowsPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { RegDeleteTreeW(HKEY_CURRENT_USER, testSubKey); }

    void registryShell()
    {
        WindowsRegistry shell;
        const QString text = QString::fromUtf8("Süd Сервер 中文;10.0.0.1:1863");
        QString error;
        QVERIFY2(shell.writeValue(testKey + "\\New\\Server", text, &error), qPrintable(error)); // makes the key
        RegistryValue value;
        QVERIFY2(shell.readValue(testKey + "\\New\\Server", &value, &error), qPrintable(error));
        QCOMPARE(value.kind, RegistryValue::Kind::Text);
        QCOMPARE(value.text, text);
        const DWORD port = 1863;
        QCOMPARE(RegSetKeyValueW(HKEY_CURRENT_USER, testSubKey, L"Port", REG_DWORD, &port, sizeof port), 0);
        QVERIFY2(shell.readValue(testKey + "\\Port", &value, &error), qPrintable(error));
        QCOMPARE(value.kind, RegistryValue::Kind::Number);
        QCOMPARE(value.number, 1863u);
        QVERIFY(!shell.readValue(testKey + "\\Missing", &value, &error) && !error.isEmpty());
    }

    void settingsStore() // where Visual Basic keeps its settings, as strings
    {
        const wchar_t key[] = L"Software\\VB and VBA Program Settings\\Nexolan\\Main";
        RegistrySettingsStore store;
        QCOMPARE(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Opened", REG_SZ, L"7", 4), 0);
        QCOMPARE(store.value("Nexolan", "Main", "Opened", "0"), "7");
        QVERIFY(store.setValue("Nexolan", "Main", "Opened", "8"));
        wchar_t saved[8] = {};
        DWORD size = sizeof saved;
        QCOMPARE(RegGetValueW(HKEY_CURRENT_USER, key, L"Opened", RRF_RT_REG_SZ, nullptr, saved, &size), 0);
        QCOMPARE(QString::fromWCharArray(saved), "8");
    }

    // No object while the class is not registered; a sign-out reaches the
    // stand-in while it runs and fails at once while it does not.
    void messenger()
    {
        const QString standin = QCoreApplication::applicationDirPath() + "/msnmsgr.exe";
        const std::wstring classKey = std::wstring(L"Software\\Classes\\CLSID\\") + nexolan::win32::messengerClassId;
        RegDeleteTreeW(HKEY_CURRENT_USER, classKey.c_str());
        WindowsSystemObjects objects;
        QString error;
        QVERIFY(!objects.createMessenger(&error));
        QVERIFY2(error.contains("not registered"), qPrintable(error));
        QCOMPARE(QProcess::execute(standin, {"/register"}), 0);
        const std::unique_ptr<Messenger> api = objects.createMessenger(&error);
        QVERIFY(api);
        bool signedOut = false;
        const auto signOut = [&] { // answered within the call on Windows
            signedOut = false;
            error.clear();
            api->signOut([&](bool done, const QString &reason) {
                signedOut = done;
                error = reason;
            });
        };
        QElapsedTimer clock;
        clock.start();
        signOut();
        QVERIFY2(!signedOut && error.contains("not running"), qPrintable(error)); // not started by COM
        QVERIFY(clock.elapsed() < 10000);

        QTemporaryDir scratch;
        QProcess client;
        client.start(standin,
                     {"--record", scratch.filePath("record"), "--ready", scratch.filePath("ready"), "--stop",
                      scratch.filePath("stop"), "--seconds", "60"});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(scratch.filePath("ready")), 20000);
        signOut();
        QVERIFY2(signedOut, qPrintable(error));
        QFile record(scratch.filePath("record"));
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), "Signout\n");
        QFile(scratch.filePath("stop")).open(QIODevice::WriteOnly);
        QVERIFY(client.waitForFinished(10000));
    }
};

QTEST_MAIN(TestWindowsPlatform)
#include "tst_windowsplatform.moc"
