// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Clock.h"
#include "platform/LinkOpener.h"
#include "platform/MessageBoxes.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/SystemConnector.h"
#include "platform/SystemObjects.h"

#include <QMap>
#include <QStringList>

#include <functional>
#include <utility>

// A clock the test sets by hand: it gives out the queued readings in turn,
// then now.
class FakeClock : public Clock
{
public:
    double seconds() override { return queued.isEmpty() ? now : queued.takeFirst(); }
    double now = 1000;
    QList<double> queued;
};

// The machine for tests: a registry and settings in memory; message boxes,
// opened pages, sign-outs, registry writes and saved settings recorded in one
// event log, in order ("box:<style>:<text>", "open:<url>", "signout",
// "write:<path>=<value>", "save:<key>=<value>"). Sign-outs fail, as with
// Messenger not running, and answer only at answerHeld(), as Wine's helper
// answers from the event loop.
class FakePlatform : public SystemObjects, public SettingsStore, public MessageBoxes, public LinkOpener
{
public:
    explicit FakePlatform(const QString &programDirectory = QString())
        : platform{*this, *this, *this, *this, clock, *connector, programDirectory, QStringLiteral("nexolan")}
    { }

    std::unique_ptr<Messenger> createMessenger(QString *error) override;
    std::unique_ptr<Registry> createRegistry(QString *error) override;
    QString value(const QString &, const QString &, const QString &key, const QString &defaultValue) override
    {
        return settings.value(key, defaultValue);
    }
    bool setValue(const QString &, const QString &, const QString &key, const QString &value) override
    {
        events.append(QStringLiteral("save:") + key + QLatin1Char('=') + value);
        settings.insert(key, value);
        return true;
    }
    void showMessage(const QString &text, MessageStyle style) override
    {
        const char *const styleNames[] = {"error", "information", "system-modal"};
        events.append(QStringLiteral("box:%1:%2").arg(QLatin1String(styleNames[int(style)]), text));
        if (onMessageBox)
            onMessageBox(text, style);
    }
    void openUrl(const QString &url) override { events.append(QStringLiteral("open:") + url); }

    // The events of one kind ("box", "open", ...), without their prefix.
    QStringList eventsOf(const QString &kind) const
    {
        QStringList result;
        for (const QString &event : events) {
            if (event == kind || event.startsWith(kind + QLatin1Char(':')))
                result.append(event.mid(kind.size() + 1));
        }
        return result;
    }
    void answerHeld() { std::exchange(held, nullptr)(); }

    FakeClock clock;
    // The system's own connections: tests reach servers on loopback.
    std::unique_ptr<ProbeConnector> connector = createSystemConnector();
    Platform platform;
    // A write is stored; or refused ("Access denied.") leaving the old value,
    // or refused though it changed the value nevertheless; or stored and at
    // once put back to the old value by another program.
    enum class Writes { Stored, Refused, RefusedButStored, PutBack };
    Writes writes = Writes::Stored;
    std::function<void()> held; // the sign-out's answer, until answerHeld()
    QMap<QString, RegistryValue> registry; // keyed by lower-cased path
    QMap<QString, QString> settings; // keyed by the setting's key
    QStringList events;
    std::function<void(const QString &text, MessageStyle style)> onMessageBox; // runs when a box shows
};

inline void setRegistryText(FakePlatform &fake, const QString &path, const QString &text)
{
    fake.registry.insert(path.toLower(), RegistryValue::fromText(text));
}
