#include "support/FakePlatform.h"
#include "ui/about/modGrimhal.h"

#include <QtTest>

// OpenLink opens a referral page only while ShowLinks exists and is an empty text.
class TestModGrimhal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensOnlyForEmptyText_data();
    void opensOnlyForEmptyText();
    void readsTheFlagAfreshOnEveryCall();
    void noShellObjectOpensNothing();
};

void TestModGrimhal::opensOnlyForEmptyText_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("number");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<bool>("opens");

    const int text = int(RegValue::Kind::Text);
    const int number = int(RegValue::Kind::Number);
    QTest::newRow("absent") << false << text << QString() << 0u << false << false;
    QTest::newRow("empty text") << true << text << QString() << 0u << true << true;
    QTest::newRow("empty text, not null") << true << text << QStringLiteral("") << 0u << true << true;
    QTest::newRow("one blank") << true << text << QStringLiteral(" ") << 0u << true << false;
    QTest::newRow("other text") << true << text << QStringLiteral("yes") << 0u << true << false;
    QTest::newRow("text 0") << true << text << QStringLiteral("0") << 0u << true << false;
    QTest::newRow("number 0") << true << number << QString() << 0u << true << false;
    QTest::newRow("number 1") << true << number << QString() << 1u << true << false;
}

void TestModGrimhal::opensOnlyForEmptyText()
{
    QFETCH(bool, present);
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(quint32, number);
    QFETCH(bool, readable);
    QFETCH(bool, opens);

    FakePlatform platform;
    if (present) {
        platform.setRegistryValue(ShowLinksPath, kind == int(RegValue::Kind::Text) ? RegValue::fromText(text)
                                                                                   : RegValue::fromNumber(number));
    }
    QString error;
    auto shell = platform.createShellObject(&error);

    QCOMPARE(OpenLink(platform, shell.get(), AboutReferralUrl, &error), readable);
    QCOMPARE(platform.openedUrls, opens ? QStringList{AboutReferralUrl} : QStringList());
    QVERIFY(platform.messageBoxes.isEmpty());
    QVERIFY(platform.shell->writes.isEmpty()); // the flag is only read
}

void TestModGrimhal::readsTheFlagAfreshOnEveryCall()
{
    FakePlatform platform;
    platform.setRegistryValue(ShowLinksPath, RegValue::fromText(QString()));
    QString error;
    auto shell = platform.createShellObject(&error);

    OpenLink(platform, shell.get(), StartupReferralUrl, &error);
    OpenLink(platform, shell.get(), AboutReferralUrl, &error);
    OpenLink(platform, shell.get(), AboutReferralUrl, &error);
    QCOMPARE(platform.openedUrls, (QStringList{StartupReferralUrl, AboutReferralUrl, AboutReferralUrl}));

    platform.shell->values.insert(ShowLinksPath.toLower(), RegValue::fromText(QStringLiteral(" ")));
    OpenLink(platform, shell.get(), AboutReferralUrl, &error);
    QCOMPARE(platform.openedUrls.size(), 3);
}

void TestModGrimhal::noShellObjectOpensNothing()
{
    FakePlatform platform;
    QString error;
    QVERIFY(!OpenLink(platform, nullptr, StartupReferralUrl, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(platform.openedUrls.isEmpty());
    QVERIFY(platform.messageBoxes.isEmpty());
}

QTEST_GUILESS_MAIN(TestModGrimhal)
#include "tst_modgrimhal.moc"
