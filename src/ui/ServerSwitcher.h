// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/ServerList.h"

#include <QObject>

class MessageBoxes;
class Messenger;
class Registry;
class ServerListModel;
struct RegistryReading;

// Switches Messenger to a server: the one switch that every window offering
// "Use this server" calls. It signs the running client out (when start-up
// could create the Messenger object; a failed sign-out does not stop the
// switch), writes the server's setting, and marks in the list the rows that
// match what is stored then, read back after the write. When the write fails,
// or stored something else, an error box gives the reason and says whether
// the setting changed anyway. A row without an IP address or without a port
// is no server to switch to: a box says so, and nothing is signed out,
// written or marked.
//
// Nothing blocks: signing out and writing may wait for another program
// (Wine's helper), and the switch ends later with finished(), from the event
// loop once the registry's answer has been handled, so that no box opens
// inside another program's callback. While it runs the switcher is busy, and
// a second request is refused.
class ServerSwitcher : public QObject
{
    Q_OBJECT

public:
    // The Messenger object signs the client out (null where start-up could
    // not create it); the registry holds the setting; the model is the main
    // list, whose marks follow the stored setting.
    ServerSwitcher(Messenger *messenger, Registry &registry, MessageBoxes &messageBoxes, ServerListModel &model,
                   QObject *parent = nullptr);

    // Switches to the server of the model's row; only that row is marked
    // when the setting names it. False, and nothing done, while busy or for
    // a row the model does not have; false after the box for a row without
    // an IP address or port.
    bool switchTo(int row);
    // Why a server cannot be switched to ("This server has no IP
    // address."), or an empty text.
    static QString missingAddressText(const ServerRow &server);

    bool isBusy() const { return m_busy; }

Q_SIGNALS:
    // A switch started (true) or ended (false).
    void busyChanged(bool busy);
    // The switch ended, after its error box if it showed one. switched: the
    // setting now names the chosen server.
    void finished(bool switched);

private:
    void write();
    void finish(bool written, const QString &error, const RegistryReading &stored);
    void end(bool switched, const QString &errorText);
    void markStored(const RegistryReading &stored);

    Messenger *m_messenger;
    Registry &m_registry;
    MessageBoxes &m_messageBoxes;
    ServerListModel &m_model;
    bool m_busy = false;
    int m_row = -1; // the model's row being switched to, or -1
    QString m_value; // the setting being written
};
