#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class Platform;
struct AppGlobals;

// The About box: title, author line, description with credits, the
// application icon, the referral link label and a Close button. It is created
// each time Help > About... is chosen and deleted when it closes.
class frmabout : public QDialog
{
    Q_OBJECT

public:
    frmabout(Platform &platform, AppGlobals &globals, QWidget *parent = nullptr);

    // Closes the dialog (the Close button, Enter and Esc).
    void cmdClose_Click();
    // Opens the About referral page when the user allowed referral pages.
    void lblSupport_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Platform &m_platform;
    AppGlobals &m_globals;

    QLabel *lblTitle = nullptr;
    QLabel *lblByME = nullptr;
    QLabel *lblInfo = nullptr;
    QLabel *lblSupport = nullptr;
    QPushButton *cmdClose = nullptr;
    QLabel *Image1 = nullptr;
    bool m_supportPressed = false;
};
