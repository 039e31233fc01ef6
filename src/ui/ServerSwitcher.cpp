#include "ServerSwitcher.h"

#include "core/MessengerSetting.h"
#include "core/ServerListModel.h"
#include "platform/MessageBoxes.h"
#include "platform/SystemObjects.h"

#include <QPointer>

ServerSwitcher::ServerSwitcher(AppGlobals &globals, MessageBoxes &messageBoxes, ServerListModel &model,
                               QObject *parent)
    : QObject(parent)
    , m_globals(globals)
    , m_messageBoxes(messageBoxes)
    , m_model(model)
{ }

bool ServerSwitcher::switchTo(int row)
{
    if (row < 0 || row >= m_model.rowCount())
        return false;
    return start(m_model.row(row), row);
}

bool ServerSwitcher::switchTo(const ServerRow &server)
{
    return start(server, -1);
}

bool ServerSwitcher::start(const ServerRow &server, int row)
{
    if (m_busy)
        return false;
    m_busy = true;
    m_row = row;
    m_value = composeServerSetting(server.host, server.ip, server.port.value_or(0));
    Q_EMIT busyChanged(true);

    if (m_globals.messengerLoaded && m_globals.messenger) {
        // The answers may come after this object is gone with its window.
        QPointer<ServerSwitcher> self(this);
        m_globals.messenger->signOut([self](bool, const QString &) {
            if (self)
                self->write();
        });
    } else {
        write();
    }
    return true;
}

void ServerSwitcher::write()
{
    if (!m_globals.registry) {
        finish(false, tr("The registry is not available."), RegistryReading());
        return;
    }
    QPointer<ServerSwitcher> self(this);
    m_globals.registry->write(MessengerServerValue, m_value,
                              [self](bool written, const QString &error, const RegistryReading &stored) {
                                  if (self)
                                      self->finish(written, error, stored);
                              });
}

void ServerSwitcher::markStored(const RegistryReading &stored)
{
    // What cannot be read back marks nothing: no row is known to be current.
    const std::optional<CurrentServer> current = stored.ok ? parseCurrentServer(stored.value.toText()) : std::nullopt;
    QVector<bool> flags(m_model.rowCount(), false);
    for (int index = 0; current && index < m_model.rowCount(); ++index) {
        const ServerRow row = m_model.row(index);
        flags[index] = row.port && matchesCurrentServer(row.host, row.ip, *row.port, *current);
    }
    m_model.setCurrentFlags(flags);
}

void ServerSwitcher::finish(bool written, const QString &error, const RegistryReading &stored)
{
    const bool switched = stored.ok && stored.value.kind == RegistryValue::Kind::Text && stored.value.text == m_value;
    if (switched && m_row >= 0)
        m_model.setCurrentRow(m_row);
    else
        markStored(stored);

    QString text;
    if (!written && switched) {
        text = tr("Switching reported a fault, but the Messenger server setting was changed.")
            + QStringLiteral("\r\n\r\n") + error;
    } else if (!written) {
        text = tr("The Messenger server setting could not be changed.") + QStringLiteral("\r\n\r\n") + error;
        if (!stored.ok && stored.error != error)
            text += QStringLiteral("\r\n\r\n") + tr("Its value cannot be read back: %1").arg(stored.error);
    } else if (!switched) {
        // Another program (another copy of this one) wrote after this write.
        text = tr("The Messenger server setting was changed again by another program.");
        if (!stored.ok)
            text = tr("The Messenger server setting was written but cannot be read back: %1").arg(stored.error);
    }
    if (!text.isEmpty())
        m_messageBoxes.showMessage(text, MessageStyle::Error);

    m_busy = false;
    m_row = -1;
    Q_EMIT busyChanged(false);
    Q_EMIT finished(switched);
}
