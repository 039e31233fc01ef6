#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The title of the main window and of every message box.
inline const QString ApplicationTitle = QStringLiteral("Nexolan - By Torvik");

// A registry value as read back: a text (string value) or a number (dword).
struct RegValue
{
    enum class Kind { Text, Number };
    Kind kind = Kind::Text;
    QString text;
    quint32 number = 0;

    static RegValue fromText(const QString &text) { return {Kind::Text, text, 0}; }
    static RegValue fromNumber(quint32 number) { return {Kind::Number, QString(), number}; }
    // The value as text: a number in decimal.
    QString toText() const { return kind == Kind::Text ? text : QString::number(number); }
};

// The Messenger client's automation interface. Only the sign-out is used.
class IMessenger
{
public:
    virtual ~IMessenger() = default;
    // Signs the running client out; false and a reason on failure.
    virtual bool Signout(QString *error) = 0;
};

// The shell object that reads and writes registry values by full path, such
// as "HKEY_CURRENT_USER\Software\Microsoft\MSNMessenger\Server".
class WshShell
{
public:
    virtual ~WshShell() = default;
    // A missing key or value is an error, never an empty result.
    virtual bool RegRead(const QString &path, RegValue *value, QString *error) = 0;
    // Creates or replaces a string value, creating its key as needed.
    virtual bool RegWrite(const QString &path, const QString &value, QString *error) = 0;
};

// Message box styles: sums of the Windows flags the program uses.
enum MessageBoxStyle : int {
    MB_ICONERROR = 16,
    MB_ICONINFORMATION = 64,
    MB_SYSTEMMODAL = 4096,
};

// Everything the program needs from the machine it runs on. The production
// implementation talks to the desktop; tests pass a fake.
class Platform
{
public:
    virtual ~Platform() = default;

    // The Messenger automation object; null and a reason when it cannot be created.
    virtual std::unique_ptr<IMessenger> createMessengerApi(QString *error) = 0;
    // The registry shell object; null and a reason when it cannot be created.
    virtual std::unique_ptr<WshShell> createShellObject(QString *error) = 0;

    // The per-user settings store: the stored text, or the default when there is none.
    virtual QString GetUserSetting(const QString &appName, const QString &section, const QString &key,
                                   const QString &defaultValue) = 0;
    // Stores a text; false when the store cannot be written.
    virtual bool SaveUserSetting(const QString &appName, const QString &section, const QString &key,
                                 const QString &value) = 0;

    // The directory of the executable, and its file name without extension.
    virtual QString applicationDirPath() = 0;
    virtual QString executableBaseName() = 0;

    // True when the path names a regular file (hidden and read-only ones too).
    virtual bool FileExists(const QString &path);
    // Reads the whole file; false when it cannot be opened or read.
    virtual bool readWholeFile(const QString &path, QByteArray *bytes);

    // A modal box with an OK button alone, titled with the application title.
    virtual void ShowMessageBox(const QString &text, int style) = 0;
    // Opens a web address in the default browser; the result is not examined.
    virtual void ShellOpen(const QString &url) = 0;

    // A monotonic clock in seconds, for timing a server test.
    virtual double clockSeconds();
};

// The process-wide objects that start-up creates and keeps until the program ends.
struct AppGlobals
{
    std::unique_ptr<IMessenger> MessengerApi;
    bool MessengerLoaded = false;
    std::unique_ptr<WshShell> ShellObject;
};
