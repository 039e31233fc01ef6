// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Clock;
class LinkOpener;
class MessageBoxes;
class ProbeConnector;
class SettingsStore;
class SystemObjects;

// What start-up needs of the machine it runs on. Each window is then given
// only the services it uses.
struct Platform
{
    SystemObjects &objects;
    SettingsStore &settings;
    MessageBoxes &messageBoxes;
    LinkOpener &links;
    Clock &clock;
    ProbeConnector &connector;
    QString programDirectory; // where the executable lies
    QString programName; // its file name without extension
};
