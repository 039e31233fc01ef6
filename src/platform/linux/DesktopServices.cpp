// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopServices.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

void DesktopServices::showMessage(const QString &text, MessageStyle style)
{
    QMessageBox box;
    box.setWindowTitle(applicationTitle());
    box.setTextFormat(Qt::PlainText);
    // Texts break their lines with CR LF; a label breaks them at LF alone.
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon(style == MessageStyle::Error ? QMessageBox::Critical : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    if (style == MessageStyle::SystemModalInformation)
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

void DesktopServices::openUrl(const QString &url)
{
    QDesktopServices::openUrl(QUrl(url));
}
