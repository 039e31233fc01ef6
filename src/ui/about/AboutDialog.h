#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class LinkOpener;
class Registry;

// The About box: title, author line, description with credits, the
// application icon, the referral link label and a Close button. It is created
// each time Help > About... is chosen and deleted when it closes.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    // The registry (which may be missing) gates the link's page.
    AboutDialog(LinkOpener &links, Registry *registry, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onCloseClicked();
    void onSupportLinkClicked();

    LinkOpener &m_links;
    Registry *m_registry;

    QLabel *lblTitle = nullptr;
    QLabel *lblByME = nullptr;
    QLabel *lblInfo = nullptr;
    QLabel *lblSupport = nullptr;
    QPushButton *cmdClose = nullptr;
    QLabel *Image1 = nullptr;
    bool m_supportPressed = false;
};
