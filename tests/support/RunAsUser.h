// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Startup.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <tuple>

// What a user saw of a message box.
struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool onTop = false; // above every other window
    bool operator==(const SeenBox &other) const
    {
        return std::tie(title, text, icon, onTop) == std::tie(other.title, other.text, other.icon, other.onTop);
    }
};

// What a user saw of one run of the window program.
struct ProgramRun
{
    int exitStatus = -1; // -1: still running when the time was up
    QList<SeenBox> boxes; // in order
    bool windowShown = false;
};

// Runs the window program as a user would: presses OK on each message box
// as it shows, and once the main window shows, hands it to `atWindow` and
// closes it. Message boxes must be real ones (QMessageBox).
inline ProgramRun runAsUser(Platform &platform, const std::function<void(MainWindow &)> &atWindow,
                            int timeoutMs = 30000)
{
    ProgramRun run;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&run, &atWindow] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            const bool onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            run.boxes.append({box->windowTitle(), box->text(), box->icon(), onTop});
            box->button(QMessageBox::Ok)->click();
            return;
        }
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<MainWindow *>(top);
            if (window && window->isVisible() && !run.windowShown) {
                run.windowShown = true;
                atWindow(*window);
                window->close();
            }
        }
    });
    user.start(20);
    QTimer timeUp;
    timeUp.setSingleShot(true);
    QObject::connect(&timeUp, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    timeUp.start(timeoutMs);
    run.exitStatus = runWindowProgram(platform);
    return run;
}
