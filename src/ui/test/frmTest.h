#pragma once

#include <QDialog>

class QLineEdit;
class Platform;

// Placeholder until the server test is built.
class frmTest : public QDialog
{
    Q_OBJECT

public:
    explicit frmTest(Platform &platform, QWidget *parent = nullptr);
    void setServer(const QString &host, const QString &ip, const QString &port);
    void LaunchTest();

private:
    Platform &m_platform;
};
