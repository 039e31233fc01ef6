// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerSwitcher.h"

#include "core/MessengerSetting.h"
#include "core/ServerListModel.h"
#include "platform/MessageBoxes.h"
#include "platform/Messenger.h"
#include "platform/Registry.h"

#include <QPointer>
#include <QTimer>

ServerSwitcher::ServerSwitcher(Messenger *messenger, Registry &registry, MessageBoxes &messageBoxes,
                               ServerListModel &model, QObject *parent)
    : QObject(parent)
    , m_messenger(messenger)
    , m_registry(registry)
    , m_messageBoxes(messageBoxes)
    , m_model(model)
{ }

bool ServerSwitcher::switchTo(int row)
{
    if (m_busy || row < 0 || row >= m_model.rowCount())
        return false;
    const ServerRow server = m_model.row(row);
    const QString missing = missingAddressText(server);
    if (!missing.isEmpty()) {
        m_messageBoxes.showMessage(missing, MessageStyle::Error);
        return false;
    }

    m_busy = true;
    m_row = row;
    m_value = composeServerSetting(server.host, server.ip, *server.port);
    Q_EMIT busyChanged(true);

    if (m_messenger) {
        // The answers may come after this object is gone with its window.
        QPointer<ServerSwitcher> self(this);
        m_messenger->signOut([self](bool, const QString &) {
            if (self)
                self->write();
        });
    } else {
        write();
    }
    return true;
}

QString ServerSwitcher::missingAddressText(const ServerRow &server)
{
    // A value without an address or with port 0 would point Messenger at
    // nothing, after signing it out.
    if (server.ip.trimmed().isEmpty())
        return tr("This server has no IP address.");
    if (!server.port || *server.port == 0)
        return tr("This server has no port.");
    return QString();
}

void ServerSwitcher::write()
{
    QPointer<ServerSwitcher> self(this);
    m_registry.write(MessengerServerValue, m_value,
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
    if (switched)
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
    // The registry may have answered from inside a QProcess signal: the box
    // and the end wait until that handler has returned.
    QTimer::singleShot(0, this, [this, switched, text] { end(switched, text); });
}

void ServerSwitcher::end(bool switched, const QString &errorText)
{
    if (!errorText.isEmpty())
        m_messageBoxes.showMessage(errorText, MessageStyle::Error);
    m_busy = false;
    m_row = -1;
    Q_EMIT busyChanged(false);
    Q_EMIT finished(switched);
}
