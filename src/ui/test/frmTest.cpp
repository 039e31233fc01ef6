#include "frmTest.h"

frmTest::frmTest(Platform &platform, QWidget *parent)
    : QDialog(parent)
    , m_platform(platform)
{
}

void frmTest::setServer(const QString &, const QString &, const QString &) {}

void frmTest::LaunchTest() {}
