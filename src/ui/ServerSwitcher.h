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
// the setting changed anyway.
//
// Nothing blocks: signing out and writing may wait for another program
// (Wine's helper), and the switch ends later with finished(). While it runs
// the switcher is busy, and a second request is refused. With the fake
// machine of the tests, or a registry on disk, the whole switch runs within
// the call.
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
    // a row the model does not have.
    bool switchTo(int row);
    // Switches to a server given by its cells, for windows whose rows are
    // not the model's; every row that matches the stored setting is marked.
    // False, and nothing done, while busy.
    bool switchTo(const ServerRow &server);

    bool isBusy() const { return m_busy; }

Q_SIGNALS:
    // A switch started (true) or ended (false).
    void busyChanged(bool busy);
    // The switch ended, after its error box if it showed one. switched: the
    // setting now names the chosen server.
    void finished(bool switched);

private:
    bool start(const ServerRow &server, int row);
    void write();
    void finish(bool written, const QString &error, const RegistryReading &stored);
    void markStored(const RegistryReading &stored);

    Messenger *m_messenger;
    Registry &m_registry;
    MessageBoxes &m_messageBoxes;
    ServerListModel &m_model;
    bool m_busy = false;
    int m_row = -1; // the model's row being switched to, or -1
    QString m_value; // the setting being written
};
