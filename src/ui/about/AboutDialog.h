// SPDX-License-Identifier: GPL-3.0-or-later
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
    // The registry's ShowLinks value gates the link's page.
    AboutDialog(LinkOpener &links, Registry &registry, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onCloseClicked();
    void onSupportLinkClicked();

    LinkOpener &m_links;
    Registry &m_registry;

    QLabel *m_titleLabel = nullptr;
    QLabel *m_authorLabel = nullptr;
    QLabel *m_descriptionLabel = nullptr;
    QLabel *m_linkLabel = nullptr;
    QPushButton *m_closeButton = nullptr;
    QLabel *m_iconLabel = nullptr;
    bool m_supportPressed = false;
};
