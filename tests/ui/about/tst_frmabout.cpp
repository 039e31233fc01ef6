#include "support/FakePlatform.h"
#include "ui/about/frmabout.h"
#include "ui/about/modGrimhal.h"
#include "ui/main/frmMain.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

// The About box: its layout, Enter and Esc, the link label, and the way the
// main window opens it.
class TestFrmAbout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout_data();
    void layout();
    void window();
    void linkLabelLooksLikeALink();
    void onlyCloseTakesTheFocus();
    void keysPressClose_data();
    void keysPressClose();
    void linkOpensTheAboutPageOnEveryClick_data();
    void linkOpensTheAboutPageOnEveryClick();
    void helpAboutOpensItModallyAndReactivatesTheMainWindow();

private:
    static AppGlobals globalsFor(FakePlatform &platform);
};

AppGlobals TestFrmAbout::globalsFor(FakePlatform &platform)
{
    AppGlobals globals;
    QString error;
    globals.MessengerApi = platform.createMessengerApi(&error);
    globals.MessengerLoaded = globals.MessengerApi != nullptr;
    globals.ShellObject = platform.createShellObject(&error);
    return globals;
}

void TestFrmAbout::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("horizontal");

    QTest::newRow("lblTitle") << "lblTitle" << QRect(56, 8, 118, 25) << "Nexolan" << int(Qt::AlignLeft);
    QTest::newRow("lblByME") << "lblByME" << QRect(115, 40, 62, 13) << "By Torvik" << int(Qt::AlignRight);
    QTest::newRow("lblInfo") << "lblInfo" << QRect(16, 56, 161, 121) << QString() << int(Qt::AlignHCenter);
    QTest::newRow("lblSupport") << "lblSupport" << QRect(69, 184, 108, 13) << "Click on my grimhal link"
                                << int(Qt::AlignRight);
    QTest::newRow("cmdClose") << "cmdClose" << QRect(96, 200, 81, 25) << "Close" << 0;
    QTest::newRow("Image1") << "Image1" << QRect(8, 8, 32, 32) << QString() << 0;
}

void TestFrmAbout::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, text);
    QFETCH(int, horizontal);

    FakePlatform platform;
    AppGlobals globals = globalsFor(platform);
    frmabout dialog(platform, globals);
    auto *widget = dialog.findChild<QWidget *>(name);
    QVERIFY(widget);
    if (name == QLatin1String("lblSupport")) {
        // The link keeps its right edge and grows to the left when the
        // font standing in for Tahoma is wider.
        auto *link = static_cast<QLabel *>(widget);
        QCOMPARE(link->x() + link->width(), place.x() + place.width());
        QCOMPARE(link->y(), place.y());
        QCOMPARE(link->height(), place.height());
        QVERIFY(link->width() >= place.width());
        QVERIFY(link->width() > link->fontMetrics().horizontalAdvance(text));
    } else {
        QCOMPARE(widget->geometry(), place);
    }
    if (auto *button = qobject_cast<QPushButton *>(widget))
        QCOMPARE(button->text(), text);
    if (auto *label = qobject_cast<QLabel *>(widget); label && name != QLatin1String("Image1")) {
        if (!text.isEmpty())
            QCOMPARE(label->text(), text);
        QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), horizontal);
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
}

void TestFrmAbout::window()
{
    FakePlatform platform;
    AppGlobals globals = globalsFor(platform);
    frmMain owner(platform, globals);
    owner.move(300, 200);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    auto *dialog = new frmabout(platform, globals, &owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));

    QCOMPARE(dialog->windowTitle(), QStringLiteral("About Nexolan..."));
    QCOMPARE(dialog->size(), QSize(186, 233));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize()); // not resizable
    QCOMPARE(dialog->windowType(), Qt::Tool);
    QVERIFY(!(dialog->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(qAbs(dialog->geometry().center().x() - owner.geometry().center().x()) <= 1);
    QVERIFY(qAbs(dialog->geometry().center().y() - owner.geometry().center().y()) <= 1);

    QCOMPARE(dialog->font().family(), QStringLiteral("Tahoma"));
    QCOMPARE(dialog->font().pointSizeF(), 8.25);
    auto *title = dialog->findChild<QLabel *>(QStringLiteral("lblTitle"));
    QCOMPARE(title->font().pointSizeF(), 15.75);
    QCOMPARE(title->font().weight(), QFont::Normal);

    const QString info = dialog->findChild<QLabel *>(QStringLiteral("lblInfo"))->text();
    QVERIFY(info.startsWith(QStringLiteral("Nexolan is an application wich shows you a list of servers you can "
                                           "connect to, with the ability to test them. ")));
    auto *infoLabel = dialog->findChild<QLabel *>(QStringLiteral("lblInfo"));
    QVERIFY(infoLabel->wordWrap());
    // The description fits its label.
    QVERIFY(infoLabel->heightForWidth(infoLabel->width()) <= infoLabel->height());

    const QPixmap icon = dialog->findChild<QLabel *>(QStringLiteral("Image1"))->pixmap();
    QCOMPARE(icon.size(), QSize(32, 32));
    QVERIFY(!dialog->findChild<QLabel *>(QStringLiteral("Image1"))->accessibleName().isEmpty());
    dialog->close();
}

void TestFrmAbout::linkLabelLooksLikeALink()
{
    FakePlatform platform;
    AppGlobals globals = globalsFor(platform);
    frmabout dialog(platform, globals);
    auto *link = dialog.findChild<QLabel *>(QStringLiteral("lblSupport"));
    QCOMPARE(link->palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(link->palette().color(QPalette::Inactive, QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(link->font().underline());
    QCOMPARE(link->font().pointSizeF(), 8.25);
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!link->accessibleName().isEmpty());
}

void TestFrmAbout::onlyCloseTakesTheFocus()
{
    FakePlatform platform;
    AppGlobals globals = globalsFor(platform);
    frmabout dialog(platform, globals);
    const auto widgets = dialog.findChildren<QWidget *>();
    for (QWidget *widget : widgets) {
        const bool isClose = widget->objectName() == QLatin1String("cmdClose");
        QCOMPARE(widget->focusPolicy() != Qt::NoFocus, isClose);
    }
    QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("cmdClose"))->isDefault());
}

void TestFrmAbout::keysPressClose_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void TestFrmAbout::keysPressClose()
{
    QFETCH(int, key);
    FakePlatform platform;
    AppGlobals globals = globalsFor(platform);
    QPointer<frmabout> dialog = new frmabout(platform, globals);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QSignalSpy pressed(dialog->findChild<QPushButton *>(QStringLiteral("cmdClose")), &QPushButton::clicked);
    QSignalSpy finished(dialog.data(), &QDialog::finished);

    QCOMPARE(QApplication::focusWidget(), dialog->findChild<QPushButton *>(QStringLiteral("cmdClose")));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));

    QCOMPARE(pressed.count(), 1);
    QCOMPARE(finished.count(), 1);
    QTRY_VERIFY(dialog.isNull()); // unloaded, nothing kept
}

void TestFrmAbout::linkOpensTheAboutPageOnEveryClick_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("showLinks");
    QTest::addColumn<int>("opened");

    QTest::newRow("ShowLinks empty") << true << QString() << 2;
    QTest::newRow("ShowLinks blank") << true << QStringLiteral(" ") << 0;
    QTest::newRow("ShowLinks absent") << false << QString() << 0;
}

void TestFrmAbout::linkOpensTheAboutPageOnEveryClick()
{
    QFETCH(bool, present);
    QFETCH(QString, showLinks);
    QFETCH(int, opened);

    FakePlatform platform;
    if (present)
        platform.setRegistryValue(ShowLinksPath, RegValue::fromText(showLinks));
    AppGlobals globals = globalsFor(platform);
    frmabout dialog(platform, globals);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *link = dialog.findChild<QLabel *>(QStringLiteral("lblSupport"));

    QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(link, Qt::LeftButton);
    QTest::mouseClick(link, Qt::RightButton); // not a click of the link

    QCOMPARE(platform.openedUrls, QStringList(opened, AboutReferralUrl));
    QVERIFY(platform.messageBoxes.isEmpty());
    QVERIFY(dialog.isVisible());
}

void TestFrmAbout::helpAboutOpensItModallyAndReactivatesTheMainWindow()
{
    FakePlatform platform;
    AppGlobals globals = globalsFor(platform);
    frmMain w(platform, globals);
    w.setServerRows({{QStringLiteral("first"), QStringLiteral("10.0.0.1"), QStringLiteral("1863"), QString()},
                     {QStringLiteral("second"), QStringLiteral("10.0.0.2"), QStringLiteral("1864"), QString()}});
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    auto *txtInfo = w.findChild<QPlainTextEdit *>(QStringLiteral("txtInfo"));
    txtInfo->setPlainText(QStringLiteral("stale"));

    w.mnuAbout_Click();
    QPointer<frmabout> dialog = w.findChild<frmabout *>();
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
    QVERIFY(QTest::qWaitForWindowActive(dialog));

    QTest::keyClick(dialog, Qt::Key_Escape);
    QTRY_VERIFY(dialog.isNull());
    QCOMPARE(txtInfo->toPlainText(), QStringLiteral("Host name: first\nIP Address: 10.0.0.1\nPort: 1863"));

    // A new dialog each time.
    w.mnuAbout_Click();
    dialog = w.findChild<frmabout *>();
    QVERIFY(dialog);
    dialog->findChild<QPushButton *>(QStringLiteral("cmdClose"))->click();
    QTRY_VERIFY(dialog.isNull());
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
