#pragma once

#include "app/Platform.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// A registry held in memory. Paths compare without regard to case.
class FakeShell : public WshShell
{
public:
    bool RegRead(const QString &path, RegValue *value, QString *error) override;
    bool RegWrite(const QString &path, const QString &value, QString *error) override;

    QMap<QString, RegValue> values; // keyed by lower-cased path
    QStringList writes;              // "path=value", in order
    bool failWrites = false;
    QString writeError = QStringLiteral("Access denied.");
};

class FakeMessenger : public IMessenger
{
public:
    bool Signout(QString *error) override;

    int signouts = 0;
    bool failSignout = false;
};

// The platform for tests: message boxes, opened pages and registry writes are
// recorded instead of shown or stored. Files are real (the tests make them).
class FakePlatform : public Platform
{
public:
    struct MessageBox
    {
        QString text;
        int style = 0;
    };

    std::unique_ptr<IMessenger> createMessengerApi(QString *error) override;
    std::unique_ptr<WshShell> createShellObject(QString *error) override;

    QString GetUserSetting(const QString &appName, const QString &section, const QString &key,
                           const QString &defaultValue) override;
    bool SaveUserSetting(const QString &appName, const QString &section, const QString &key,
                         const QString &value) override;

    bool readWholeFile(const QString &path, QByteArray *bytes) override;

    QString applicationDirPath() override { return appDir; }
    QString executableBaseName() override { return exeBaseName; }

    void ShowMessageBox(const QString &text, int style) override;
    void ShellOpen(const QString &url) override;

    // Registry values that the next created shell object starts with.
    void setRegistryValue(const QString &path, const RegValue &value);

    bool messengerAvailable = true;
    bool shellAvailable = true;
    QMap<QString, RegValue> registry; // copied into each created shell
    FakeShell *shell = nullptr;        // the last created, owned by the caller
    FakeMessenger *messenger = nullptr; // likewise
    bool failSignout = false;
    bool failRegistryWrites = false;

    QMap<QString, QString> settings; // keyed "app/section/key"
    bool settingsBroken = false;     // reads give the default, writes fail

    QString appDir;
    bool failFileReads = false; // the file exists but cannot be read
    QString exeBaseName = QStringLiteral("nexolan");

    QVector<MessageBox> messageBoxes;
    QStringList openedUrls;
    QStringList events; // "box:<style>", "open:<url>" in the order they happened
    std::function<void(const MessageBox &)> onMessageBox;
};
