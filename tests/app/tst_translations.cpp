// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"
#include "app/Translations.h"
#include "support/FakePlatform.h"
#include "support/LoopbackServer.h"
#include "ui/main/MainWindow.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

// The windows in the user's language, loaded as the program loads it. CTest
// runs this under LANG=pt_BR.UTF-8 and under LANG=C, and tells it in
// NEXOLAN_LANGUAGE the language it must have chosen ("pt_BR", or empty for
// English).
class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(m_translations.install(QLocale::system().uiLanguages()), qEnvironmentVariable("NEXOLAN_LANGUAGE"));
        QFile list(m_dir.filePath("nexolan.dat"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("localhost;127.0.0.1;" + QByteArray::number(m_refused.port) + "\r\n");
        list.close();
        startUp(m_fake.platform, m_started, [this](std::unique_ptr<MainWindow> shown) { m_window = std::move(shown); });
        QVERIFY(m_window);
        // Both dialogs at once: the second click is the program's own, past
        // the first dialog's modality.
        m_window->findChild<QAbstractButton *>("cmdTestServer")->click();
        m_window->findChild<QAbstractButton *>("cmdTestList")->click();
    }

    void texts_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control"); // empty: the window's title
        QTest::addColumn<int>("section"); // of the control's header; -1: the control's own text
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("portuguese");
        QTest::newRow("Test List button") << "frmMain"
                                          << "cmdTestList" << -1 << "Test List"
                                          << "Testar lista";
        QTest::newRow("Use this server button") << "frmMain"
                                                << "cmdUseServer" << -1 << "Use this server"
                                                << "Usar servidor";
        QTest::newRow("Server Test title") << "frmTest"
                                           << "" << -1 << "Server Test"
                                           << "Teste do servidor";
        QTest::newRow("status label") << "frmTest"
                                      << "lblStatus" << -1 << "Connecting..."
                                      << "Conectando...";
        QTest::newRow("Test List header") << "frmTestList"
                                          << "lvwResults" << 5 << "Rating"
                                          << "Avaliação";
    }

    void texts()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(int, section);
        QFETCH(QString, english);
        QFETCH(QString, portuguese);
        // The dialogs are the main window's children.
        QWidget *top = window == "frmMain" ? m_window.get() : m_window->findChild<QWidget *>(window);
        QVERIFY(top && top->isVisible());
        QWidget *widget = control.isEmpty() ? top : top->findChild<QWidget *>(control);
        QVERIFY(widget);
        QString shown = widget->windowTitle();
        if (const auto *view = qobject_cast<QTreeView *>(widget))
            shown = view->header()->model()->headerData(section, Qt::Horizontal).toString();
        else if (const auto *button = qobject_cast<QAbstractButton *>(widget))
            shown = button->text();
        else if (const auto *label = qobject_cast<QLabel *>(widget))
            shown = label->text();
        QCOMPARE(shown, m_portuguese ? portuguese : english);
    }

    // Qt's own texts follow, as in the context menu of the details box.
    void qtTexts()
    {
        QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "Select All"),
                 m_portuguese ? "Selecionar tudo" : "Select All");
    }

private:
    // The program looks beside itself: the build tree's top.
    Translations m_translations{QStringLiteral(NEXOLAN_BUILD_DIR)};
    const bool m_portuguese = qEnvironmentVariable("NEXOLAN_LANGUAGE") == QLatin1String("pt_BR");
    LoopbackServer m_refused{LoopbackServer::Behaviour::Refuse};
    QTemporaryDir m_dir;
    FakePlatform m_fake{m_dir.path()};
    StartedObjects m_started;
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
