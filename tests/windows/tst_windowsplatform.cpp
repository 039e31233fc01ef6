// The Windows platform against the real system, run under Wine: the registry
// shell and the settings store on the registry, Messenger's sign-out through
// the stand-in client (msnmsgr.exe beside this program), native message boxes
// and ShellExecuteW's "open".

#include "platform/windows/ProgramFile.h"
#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/WindowsDesktop.h"
#include "platform/windows/WindowsMessenger.h"
#include "platform/windows/WindowsRegistryShell.h"
#include "platform/windows/WindowsSystemObjects.h"

#include "MessengerAutomation.h"
#include "WinRegistry.h"

#define NOMINMAX 1 // as libstdc++ defines it for mingw-w64
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <thread>

namespace {

const QString testKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\NexolanWindowsTest");
const wchar_t testSubKey[] = L"Software\\NexolanWindowsTest";
const wchar_t settingsSubKey[] = L"Software\\VB and VBA Program Settings\\NexolanWindowsTest";

std::wstring wide(const QString &text)
{
    return text.toStdWString();
}

// The raw type of a value, REG_NONE when there is none.
DWORD storedType(const wchar_t *subKey, const wchar_t *name)
{
    DWORD type = REG_NONE;
    RegGetValueW(HKEY_CURRENT_USER, subKey, name, RRF_RT_ANY, &type, nullptr, nullptr);
    return type;
}

void setDword(const wchar_t *subKey, const wchar_t *name, DWORD number)
{
    HKEY key = nullptr;
    QCOMPARE(RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
             ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), sizeof number);
    RegCloseKey(key);
}

QString classKey()
{
    return QStringLiteral("Software\\Classes\\CLSID\\") + QString::fromWCharArray(nexolan::win32::messengerClassId);
}

// What a message box showed, read from another thread while it was up.
struct SeenBox
{
    bool found = false;
    QString title;
    QStringList texts;   // its static texts
    QStringList buttons; // its buttons' captions
    HICON icon = nullptr;
    bool topmost = false;
    HWND owner = nullptr;
};

BOOL CALLBACK readChild(HWND child, LPARAM data)
{
    auto &seen = *reinterpret_cast<SeenBox *>(data);
    wchar_t className[64] = {}, text[512] = {};
    GetClassNameW(child, className, 64);
    GetWindowTextW(child, text, 512);
    if (_wcsicmp(className, L"Button") == 0)
        seen.buttons << QString::fromWCharArray(text);
    else if (_wcsicmp(className, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        seen.icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    else if (_wcsicmp(className, L"Static") == 0 && *text)
        seen.texts << QString::fromWCharArray(text);
    return TRUE;
}

BOOL CALLBACK findDialog(HWND window, LPARAM data)
{
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (wcscmp(className, L"#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND *>(data) = window;
    return FALSE;
}

// Shows a box on this thread while another reads it and presses OK. The
// reader gives up after ten seconds without a box; the suite's time limit
// then ends a box that nobody answers.
SeenBox showAndRead(const std::function<void()> &show)
{
    SeenBox seen;
    const DWORD thread = GetCurrentThreadId();
    std::thread reader([&] {
        HWND box = nullptr;
        for (int tries = 0; tries < 200 && !box; ++tries) {
            Sleep(50);
            EnumThreadWindows(thread, findDialog, reinterpret_cast<LPARAM>(&box));
        }
        if (!box)
            return;
        Sleep(100); // its controls are made with it; give them a moment to get their texts
        wchar_t title[256] = {};
        GetWindowTextW(box, title, 256);
        seen.found = true;
        seen.title = QString::fromWCharArray(title);
        seen.topmost = GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST;
        seen.owner = GetWindow(box, GW_OWNER);
        EnumChildWindows(box, readChild, reinterpret_cast<LPARAM>(&seen));
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    show();
    reader.join();
    return seen;
}

} // namespace

class TestWindowsPlatform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, testSubKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, settingsSubKey);
    }

    void cleanupTestCase()
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, testSubKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, settingsSubKey);
    }

    void programFile()
    {
        QCOMPARE(programFilePath(), QCoreApplication::applicationFilePath());
        QVERIFY(!programFilePath().contains(QLatin1Char('\\')));
    }

    // A text written is read back as it was (the conversions to and from
    // UTF-16 included), stored as REG_SZ; missing keys on the way are created.
    void writeThenRead_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("server setting, keys made on the way") << "Created\\On\\The\\Way" << "myhost;10.0.0.1:1863";
        QTest::newRow("non-Latin") << "Text" << QString::fromUtf8("Süd Сервер 中文 \xF0\x9F\x98\x80");
        QTest::newRow("empty") << "Text" << "";
    }

    void writeThenRead()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        WindowsRegistryShell shell;
        const QString path = testKey + '\\' + key + "\\Server";
        QString error;
        QVERIFY2(shell.RegWrite(path, text, &error), qPrintable(error));
        RegValue value;
        QVERIFY2(shell.RegRead(path, &value, &error), qPrintable(error));
        QCOMPARE(value.kind, RegValue::Kind::Text);
        QCOMPARE(value.text, text);
        const std::wstring subKey = wide(QStringLiteral("Software\\NexolanWindowsTest\\") + key);
        QCOMPARE(storedType(subKey.c_str(), L"Server"), DWORD(REG_SZ));
    }

    // Reads of what the shell did not write: numbers, and what is missing.
    void read_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("expected"); // the value as text, or a piece of the error
        QTest::newRow("DWORD as a number") << testKey + "\\Raw\\Port" << true << "1863";
        QTest::newRow("missing value") << testKey + "\\Raw\\Missing" << false << "does not exist";
        QTest::newRow("missing key") << testKey + "\\Nowhere\\Server" << false << "does not exist";
    }

    void read()
    {
        QFETCH(QString, path);
        QFETCH(bool, ok);
        QFETCH(QString, expected);
        setDword(L"Software\\NexolanWindowsTest\\Raw", L"Port", 1863);
        WindowsRegistryShell shell;
        RegValue value;
        QString error;
        QCOMPARE(shell.RegRead(path, &value, &error), ok);
        if (ok) {
            QCOMPARE(value.kind, RegValue::Kind::Number);
            QCOMPARE(value.toText(), expected);
        } else {
            QVERIFY2(error.contains(expected), qPrintable(error));
        }
    }

    void location() { QCOMPARE(WindowsRegistryShell().location(), "the Windows registry"); }

    // The settings live where Visual Basic keeps them: a counter stored
    // there by an earlier version is read, and a saved one lands there.
    void settingsStore()
    {
        const QString app = QStringLiteral("NexolanWindowsTest");
        RegistrySettingsStore store;
        QCOMPARE(RegistrySettingsStore::valuePath("Nexolan", "Main", "Opened"),
                 "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Nexolan\\Main\\Opened");
        QCOMPARE(store.GetUserSetting(app, "Main", "Opened", "0"), "0");

        std::wstring errorText;
        QVERIFY(nexolan::win32::writeRegistryText(wide(RegistrySettingsStore::valuePath(app, "Main", "Opened")),
                                                  L"7", errorText));
        QCOMPARE(store.GetUserSetting(app, "Main", "Opened", "0"), "7");

        QVERIFY(store.SaveUserSetting(app, "Main", "Opened", "8"));
        nexolan::win32::RegistryValue stored;
        QVERIFY(nexolan::win32::readRegistryValue(wide(RegistrySettingsStore::valuePath(app, "Main", "Opened")), stored,
                                                  errorText));
        QVERIFY(stored.text == L"8");
        QCOMPARE(storedType(L"Software\\VB and VBA Program Settings\\NexolanWindowsTest\\Main", L"Opened"),
                 DWORD(REG_SZ));
        QCOMPARE(store.GetUserSetting(app, "Main", "Opened", "0"), "8");

        // A backslash would move the value elsewhere: refused.
        QVERIFY(!store.SaveUserSetting(app, "Main", "Sub\\Opened", "1"));
        QCOMPARE(store.GetUserSetting(app, "Main", "Sub\\Opened", "none"), "none");
    }

    void serverProgramName_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("name");
        QTest::newRow("quoted with spaces") << "\"C:\\Program Files\\MSN Messenger\\msnmsgr.exe\" /background"
                                            << "msnmsgr.exe";
        QTest::newRow("unquoted with spaces") << "C:\\Program Files\\MSN Messenger\\MSNMSGR.EXE -Embedding"
                                              << "MSNMSGR.EXE";
        QTest::newRow("bare name") << "msnmsgr.exe" << "msnmsgr.exe";
        QTest::newRow("empty") << "" << "";
    }

    void serverProgramName()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, name);
        QCOMPARE(WindowsMessenger::serverProgramName(commandLine), name);
    }

    // Start-up's Messenger object and the sign-out of the switch, against the
    // stand-in client: refused while the class is not registered, failing
    // cleanly while no client runs, one record line per sign-out while it runs.
    void messenger()
    {
        const QString standin = QCoreApplication::applicationDirPath() + QStringLiteral("/msnmsgr.exe");
        if (!QFileInfo::exists(standin))
            QSKIP("The Messenger stand-in was not built (NEXOLAN_WIN32_TESTS=ON builds it)");
        RegDeleteTreeW(HKEY_CURRENT_USER, wide(classKey()).c_str());
        if (nexolan::win32::isMessengerClassRegistered())
            QSKIP("Messenger's class is registered for the whole machine here");

        WindowsSystemObjects objects;
        QString error;
        QVERIFY(!objects.createMessengerApi(&error));
        QVERIFY2(error.contains("is not registered"), qPrintable(error));

        QCOMPARE(QProcess::execute(standin, {QStringLiteral("/register")}), 0);
        error.clear();
        const std::unique_ptr<IMessenger> api = objects.createMessengerApi(&error);
        QVERIFY2(api, qPrintable(error));
        QCOMPARE(WindowsMessenger::registeredProgramName(), "msnmsgr.exe");

        QTemporaryDir scratch;
        const QString record = QDir::toNativeSeparators(scratch.filePath("record.txt"));
        const QString ready = QDir::toNativeSeparators(scratch.filePath("ready.txt"));
        const QString stop = QDir::toNativeSeparators(scratch.filePath("stop.txt"));
        const auto recorded = [&] {
            QFile file(record);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };

        QVERIFY(!api->Signout(&error));
        QVERIFY2(error.contains("Messenger is not running"), qPrintable(error));
        QCOMPARE(recorded(), QByteArray());

        QProcess client;
        client.start(standin, {"--record", record, "--ready", ready, "--stop", stop, "--seconds", "60"});
        QVERIFY(client.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(ready), 20000);
        error.clear();
        QVERIFY2(api->Signout(&error), qPrintable(error));
        QCOMPARE(recorded(), QByteArray("Signout\n"));
        QVERIFY2(api->Signout(&error), qPrintable(error));
        QCOMPARE(recorded(), QByteArray("Signout\nSignout\n"));

        QFile(stop).open(QIODevice::WriteOnly);
        QVERIFY(client.waitForFinished(10000));
        QCOMPARE(client.exitCode(), 0);
        QVERIFY(!api->Signout(&error));
        QVERIFY2(error.contains("Messenger is not running"), qPrintable(error));
        QCOMPARE(recorded(), QByteArray("Signout\nSignout\n"));
    }

    // Native boxes: the application title, the text, OK alone, the style's
    // icon, always on top when system-modal, owned by the active window.
    void messageBox_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("withOwner");
        QTest::addColumn<bool>("topmost");
        using namespace BoxStyle;
        QTest::newRow("error") << ErrorIcon << false << false;
        QTest::newRow("information, system-modal") << (SystemModal | InformationIcon) << false << true;
        QTest::newRow("error over the active window") << ErrorIcon << true << false;
    }

    void messageBox()
    {
        QFETCH(int, style);
        QFETCH(bool, withOwner);
        QFETCH(bool, topmost);
        HWND owner = nullptr;
        if (withOwner) {
            owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                    nullptr, nullptr, nullptr);
            SetActiveWindow(owner);
            if (GetActiveWindow() != owner) {
                DestroyWindow(owner);
                QSKIP("No window can be made active here");
            }
        }
        const QString text = QStringLiteral("First line\r\nSecond line");
        WindowsDesktop desktop;
        const SeenBox seen = showAndRead([&] { desktop.ShowMessageBox(text, style); });
        if (owner)
            DestroyWindow(owner);
        QVERIFY(seen.found);
        QCOMPARE(seen.title, "Nexolan - By Torvik");
        QVERIFY2(seen.texts.contains(text), qPrintable(seen.texts.join('|')));
        QCOMPARE(seen.buttons, QStringList{"OK"});
        const bool error = style & BoxStyle::ErrorIcon;
        QVERIFY(seen.icon);
        QCOMPARE(seen.icon, LoadIconW(nullptr, error ? IDI_HAND : IDI_ASTERISK));
        QCOMPARE(seen.topmost, topmost);
        QCOMPARE(seen.owner, owner);
    }

    // ShellExecuteW's "open" hands the address to the program registered for
    // its scheme (a test scheme here, whose handler writes it to a file).
    void shellOpen()
    {
        QTemporaryDir scratch;
        const QString opened = QDir::toNativeSeparators(scratch.filePath("opened.txt"));
        const std::wstring command = L"cmd.exe /c echo %1> \"" + wide(opened) + L"\"";
        HKEY key = nullptr;
        // Wine's shell reads the classes of the machine only.
        QCOMPARE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\nexolan-test\\shell\\open\\command", 0,
                                 nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                 ERROR_SUCCESS);
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(command.c_str()),
                       DWORD((command.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        QCOMPARE(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\nexolan-test", 0, nullptr, 0, KEY_SET_VALUE,
                                 nullptr, &key, nullptr),
                 ERROR_SUCCESS);
        RegSetValueExW(key, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE *>(L""), sizeof(wchar_t));
        RegCloseKey(key);

        WindowsDesktop().ShellOpen(QStringLiteral("nexolan-test://servers/page?id=1"));
        const auto content = [&] {
            QFile file(opened);
            return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray();
        };
        QTRY_COMPARE_WITH_TIMEOUT(content(), QByteArray("nexolan-test://servers/page?id=1"), 20000);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\nexolan-test");
    }
};

QTEST_MAIN(TestWindowsPlatform)
#include "tst_windowsplatform.moc"
