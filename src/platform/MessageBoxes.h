#pragma once

#include <QString>

// The title of the main window and of every message box.
inline const QString ApplicationTitle = QStringLiteral("Nexolan - By Torvik");

// Message box styles: sums of the Windows flags the program uses. Every box
// has an OK button alone.
namespace BoxStyle {
constexpr int ErrorIcon = 16;
constexpr int InformationIcon = 64;
constexpr int SystemModal = 4096;
} // namespace BoxStyle

// Shows message boxes; tests record them instead.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // A modal box with an OK button alone, titled with the application
    // title; returns when the user dismisses it.
    virtual void ShowMessageBox(const QString &text, int style) = 0;
};
