#pragma once

#include <QDialog>

class Platform;
struct AppGlobals;

// Placeholder until the About box is built.
class frmabout : public QDialog
{
    Q_OBJECT

public:
    frmabout(Platform &platform, AppGlobals &globals, QWidget *parent = nullptr);

private:
    Platform &m_platform;
    AppGlobals &m_globals;
};
