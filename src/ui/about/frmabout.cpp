#include "frmabout.h"

frmabout::frmabout(Platform &platform, AppGlobals &globals, QWidget *parent)
    : QDialog(parent)
    , m_platform(platform)
    , m_globals(globals)
{
}
