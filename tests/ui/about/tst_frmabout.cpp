#include "support/FakePlatform.h"
#include "ui/about/frmabout.h"
#include "ui/about/modGrimhal.h"
#include "ui/main/frmMain.h"

#include <QtTest>
#include <QtWidgets>

namespace {

AppGlobals globalsFor(FakePlatform &platform)
{
    AppGlobals globals;
    QString error;
    globals.MessengerApi = platform.createMessengerApi(&error);
    globals.MessengerLoaded = globals.MessengerApi != nullptr;
    globals.ShellObject = platform.createShellObject(&error);
    return globals;
}

} // namespace

// The About box as the main window opens it, and OpenLink behind its link.
class TestFrmAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void window()
    {
        FakePlatform platform;
        AppGlobals globals = globalsFor(platform);
        frmMain owner(platform, globals);
        owner.move(300, 200);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        owner.mnuAbout_Click();
        QPointer<frmabout> dialog = owner.findChild<frmabout *>();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(dialog));

        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("About Nexolan..."));
        QCOMPARE(dialog->size(), QSize(186, 233));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize()); // not resizable
        QCOMPARE(dialog->windowType(), Qt::Tool);
        QCOMPARE(dialog->windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint
                                          | Qt::WindowMaximizeButtonHint), Qt::WindowCloseButtonHint);
        QVERIFY(qAbs(dialog->geometry().center().x() - owner.geometry().center().x()) <= 1);
        QVERIFY(qAbs(dialog->geometry().center().y() - owner.geometry().center().y()) <= 1);
        QCOMPARE(dialog->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(dialog->font().pointSizeF(), 8.25);

        auto *info = dialog->findChild<QLabel *>(QStringLiteral("lblInfo"));
        QVERIFY(info->text().startsWith(QStringLiteral("Nexolan is an application wich shows you a list of servers "
                                                       "you can connect to, with the ability to test them. ")));
        QVERIFY(info->wordWrap());
        QVERIFY(info->heightForWidth(info->width()) <= info->height()); // the description fits
        auto *image = dialog->findChild<QLabel *>(QStringLiteral("Image1"));
        QCOMPARE(image->pixmap().size(), QSize(32, 32));
        QVERIFY(!image->accessibleName().isEmpty());

        // The link looks like one and shows whole: it keeps its right edge and
        // grows to the left when the font standing in for Tahoma is wider.
        auto *link = dialog->findChild<QLabel *>(QStringLiteral("lblSupport"));
        QCOMPARE(link->palette().color(QPalette::Inactive, QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(link->font().underline());
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(!link->accessibleName().isEmpty());
        QCOMPARE(link->x() + link->width(), 69 + 108);
        QCOMPARE(link->y(), 184);
        QCOMPARE(link->height(), 13);
        QVERIFY(link->width() >= 108);
        QVERIFY(link->width() > link->fontMetrics().horizontalAdvance(link->text()));
        for (QWidget *widget : dialog->findChildren<QWidget *>()) // only Close takes the focus
            QCOMPARE(widget->focusPolicy() != Qt::NoFocus, widget->objectName() == QLatin1String("cmdClose"));
        QVERIFY(dialog->findChild<QPushButton *>(QStringLiteral("cmdClose"))->isDefault());
        dialog->close();
    }

    // Enter and Esc press Close; each time the dialog goes, the main window
    // shows its selected row again, and the next About opens a new dialog.
    void closing_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Close button") << 0;
    }
    void closing()
    {
        QFETCH(int, key);
        FakePlatform platform;
        AppGlobals globals = globalsFor(platform);
        frmMain w(platform, globals);
        w.setServerRows({{QStringLiteral("first"), QStringLiteral("10.0.0.1"), QStringLiteral("1863"), QString()},
                         {QStringLiteral("second"), QStringLiteral("10.0.0.2"), QStringLiteral("1864"), QString()}});
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *txtInfo = w.findChild<QPlainTextEdit *>(QStringLiteral("txtInfo"));
        for (int round = 0; round < 2; ++round) {
            txtInfo->setPlainText(QStringLiteral("stale"));
            w.mnuAbout_Click();
            QPointer<frmabout> dialog = w.findChild<frmabout *>();
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            auto *close = dialog->findChild<QPushButton *>(QStringLiteral("cmdClose"));
            QTRY_COMPARE(QApplication::focusWidget(), close);
            QSignalSpy pressed(close, &QPushButton::clicked);
            QSignalSpy finished(dialog.data(), &QDialog::finished);
            if (key)
                QTest::keyClick(close, Qt::Key(key));
            else
                QTest::mouseClick(close, Qt::LeftButton);
            QCOMPARE(pressed.count(), 1);
            QCOMPARE(finished.count(), 1);
            QTRY_VERIFY(dialog.isNull()); // unloaded, nothing kept
            QCOMPARE(txtInfo->toPlainText(), QStringLiteral("Host name: first\nIP Address: 10.0.0.1\nPort: 1863"));
        }
    }

    // A page opens only while ShowLinks exists and is an empty text; the value
    // is only read, afresh on every call.
    void openLink_data()
    {
        QTest::addColumn<QVariant>("showLinks"); // a text or a number; none: absent
        QTest::addColumn<bool>("shell");
        QTest::addColumn<bool>("opens");
        QTest::newRow("absent") << QVariant() << true << false;
        QTest::newRow("empty text") << QVariant(QString()) << true << true;
        QTest::newRow("empty text, not null") << QVariant(QStringLiteral("")) << true << true;
        QTest::newRow("one blank") << QVariant(QStringLiteral(" ")) << true << false;
        QTest::newRow("other text") << QVariant(QStringLiteral("yes")) << true << false;
        QTest::newRow("text 0") << QVariant(QStringLiteral("0")) << true << false;
        QTest::newRow("number 0") << QVariant(0u) << true << false;
        QTest::newRow("number 1") << QVariant(1u) << true << false;
        QTest::newRow("no shell object") << QVariant(QString()) << false << false;
    }
    void openLink()
    {
        QFETCH(QVariant, showLinks);
        QFETCH(bool, shell);
        QFETCH(bool, opens);
        FakePlatform platform;
        platform.shellAvailable = shell;
        if (showLinks.typeId() == QMetaType::QString)
            platform.setRegistryValue(ShowLinksPath, RegValue::fromText(showLinks.toString()));
        else if (showLinks.isValid())
            platform.setRegistryValue(ShowLinksPath, RegValue::fromNumber(showLinks.toUInt()));
        AppGlobals globals = globalsFor(platform);
        frmabout dialog(platform, globals);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *link = dialog.findChild<QLabel *>(QStringLiteral("lblSupport"));

        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::LeftButton);
        QTest::mouseClick(link, Qt::RightButton); // not a click of the link
        QCOMPARE(platform.openedUrls, QStringList(opens ? 2 : 0, AboutReferralUrl));
        QVERIFY(dialog.isVisible());

        // False, with the reason, when the value cannot be read.
        QString error;
        const bool readable = shell && showLinks.isValid();
        QCOMPARE(OpenLink(platform, globals.ShellObject.get(), StartupReferralUrl, &error), readable);
        QCOMPARE(error.isEmpty(), readable);
        QCOMPARE(platform.openedUrls, opens ? QStringList({AboutReferralUrl, AboutReferralUrl, StartupReferralUrl})
                                            : QStringList());
        if (shell) {
            platform.shell->values.insert(ShowLinksPath.toLower(), RegValue::fromText(QStringLiteral(" ")));
            QTest::mouseClick(link, Qt::LeftButton);
            QCOMPARE(platform.openedUrls.size(), opens ? 3 : 0);
            QVERIFY(platform.shell->writes.isEmpty());
        }
        QVERIFY(platform.messageBoxes.isEmpty());
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
