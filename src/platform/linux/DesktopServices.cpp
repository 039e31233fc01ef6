#include "DesktopServices.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void DesktopServices::ShowMessageBox(const QString &text, int style)
{
    QMessageBox box;
    box.setWindowTitle(ApplicationTitle);
    box.setTextFormat(Qt::PlainText);
    // Texts break their lines with CR LF; a label breaks them at LF alone.
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon((style & BoxStyle::ErrorIcon) == BoxStyle::ErrorIcon ? QMessageBox::Critical : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    if (style & BoxStyle::SystemModal)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void DesktopServices::ShellOpen(const QString &url)
{
    QDesktopServices::openUrl(QUrl(url));
}
