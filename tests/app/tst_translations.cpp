// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Startup.h"
#include "app/Translations.h"
#include "support/FakePlatform.h"
#include "support/LoopbackServer.h"
#include "ui/main/MainWindow.h"

#include <QAbstractButton>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

// The windows in the user's language, loaded as the program loads it: CTest
// runs this under LANG=pt_BR.UTF-8.
class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(m_translations.install(QLocale::system().uiLanguages()), "pt_BR");
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

    // A text of each kind: a button's, a dialog's title, a header that the
    // table's model gives, and Qt's own, as in the details box's context menu.
    void texts()
    {
        QCOMPARE(m_window->findChild<QAbstractButton *>("cmdTestList")->text(), "Testar lista");
        const QWidget *serverTest = m_window->findChild<QWidget *>("frmTest");
        QCOMPARE(serverTest->windowTitle(), "Teste do servidor");
        const QTreeView *results = m_window->findChild<QTreeView *>("lvwResults");
        QCOMPARE(results->model()->headerData(5, Qt::Horizontal).toString(), "Avaliação");
        QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "Select All"), "Selecionar tudo");
    }

    // The first of the user's languages that has a translation wins; English,
    // which the texts are written in, wins over every language after it.
    void languageOrder()
    {
        Translations german{QStringLiteral(NEXOLAN_BUILD_DIR)};
        QCOMPARE(german.install({"de-DE", "pt-BR"}), "pt_BR");
        Translations english{QStringLiteral(NEXOLAN_BUILD_DIR)};
        QCOMPARE(english.install({"en-US", "pt-BR"}), QString());
    }

private:
    // The program looks beside itself: the build tree's top.
    Translations m_translations{QStringLiteral(NEXOLAN_BUILD_DIR)};
    LoopbackServer m_refused{LoopbackServer::Behaviour::Refuse};
    QTemporaryDir m_dir;
    FakePlatform m_fake{m_dir.path()};
    StartedObjects m_started;
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
