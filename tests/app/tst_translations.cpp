// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Translations.h"
#include "core/ServerList.h"
#include "support/FakePlatform.h"
#include "ui/main/MainWindow.h"

#include <QAbstractButton>
#include <QTest>
#include <QTreeView>

namespace {

// What a user sees: the main window's buttons, the Server Test's labels once
// it runs and its title, the Test List's headers, and a text of Qt's own
// (the details box's context menu).
QStringList shownTexts(const MainWindow &window)
{
    QStringList texts;
    for (const char *name :
         {"cmdTestList", "cmdTestServer", "cmdUseServer", "lblIP", "lblHostName", "lblPort", "lblTesting", "lblStatus"})
        texts.append(window.findChild<QWidget *>(name)->property("text").toString());
    texts.append(window.findChild<QWidget *>("frmTest")->windowTitle());
    const QAbstractItemModel *results = window.findChild<QTreeView *>("lvwResults")->model();
    for (int column = 0; column < results->columnCount(); ++column)
        texts.append(results->headerData(column, Qt::Horizontal).toString());
    texts.append(QCoreApplication::translate("QWidgetTextControl", "Select All"));
    return texts;
}

} // namespace

// The windows in the user's languages, loaded as the program loads them
// (from beside the program: the build tree's top), one language a run.
class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts_data()
    {
        QTest::addColumn<QStringList>("languages"); // the user's, most wanted first
        QTest::addColumn<QString>("installed"); // empty: the texts as written, in English
        QTest::addColumn<QStringList>("texts"); // in the order shownTexts() gives them
        // The main window's, the Server Test's, the Test List's and Qt's.
        const QStringList portuguese = QStringList{"Testar lista", "Testar servidor", "Usar servidor"}
            + QStringList{"IP:", "Host:", "Porta:", "Teste em andamento...", "Conectando...", "Teste do servidor"}
            + QStringList{"Nome do host", "IP do host", "Porta", "Conexão", "Resposta", "Avaliação", "Retorno"}
            + QStringList{"Selecionar tudo"};
        const QStringList english = QStringList{"Test List", "Test Server", "Use this server"}
            + QStringList{"IP:", "Hostname:", "Port:", "Test in progress...", "Connecting...", "Server Test"}
            + QStringList{"Host Name", "Host IP", "Port", "Connection", "Response", "Rating", "Reply"}
            + QStringList{"Select All"};
        // The first of the user's languages that has a translation wins.
        QTest::newRow("pt_BR after a language without one") << QStringList{"de-DE", "pt-BR"} << "pt_BR" << portuguese;
        // C has none; English, which the texts are written in, wins over
        // every language after it.
        QTest::newRow("C, then English before pt_BR") << QStringList{"C", "en-US", "pt-BR"} << "" << english;
    }

    void texts()
    {
        QFETCH(QStringList, languages);
        QFETCH(QString, installed);
        QFETCH(QStringList, texts);
        Translations translations{QStringLiteral(NEXOLAN_BUILD_DIR)};
        QCOMPARE(translations.install(languages), installed);
        FakePlatform fake;
        const std::unique_ptr<Registry> registry = fake.createRegistry(nullptr);
        MainWindow window(nullptr, *registry, fake, fake, fake.clock, *fake.connector);
        window.setServerList(ServerList::parse("localhost;127.0.0.1;1\r\n", std::nullopt)); // nobody answers
        window.activateList();
        // Both dialogs at once: the second click is the program's own, past
        // the first dialog's modality.
        window.findChild<QAbstractButton *>("cmdTestServer")->click();
        window.findChild<QAbstractButton *>("cmdTestList")->click();
        QCOMPARE(shownTexts(window), texts);
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
