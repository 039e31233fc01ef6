// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

// The title of the main window and of every message box, in the user's
// language.
inline QString applicationTitle()
{
    return QCoreApplication::translate("MessageBoxes", "Nexolan - By Torvik");
}

// How a message box looks. Every box has an OK button alone.
enum class MessageStyle {
    Error, // the error icon
    Information, // the information icon
    SystemModalInformation, // the information icon, above every other window
};

// Shows message boxes; tests record them instead.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // A modal box with an OK button alone, titled with the application
    // title; returns when the user dismisses it.
    virtual void showMessage(const QString &text, MessageStyle style) = 0;
};
