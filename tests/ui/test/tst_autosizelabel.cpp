#include "ui/test/AutoSizeLabel.h"

#include <QTest>

class TestAutoSizeLabel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fitsItsCaption_data()
    {
        QTest::addColumn<bool>("rightAnchored");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("room");
        QTest::newRow("left, fits") << false << "Test in progress..." << 1000;
        QTest::newRow("right, fits") << true << "Waiting for response..." << 1000;
        QTest::newRow("left, cut") << false << "Error (An error description far too long for the room it has)" << 120;
        QTest::newRow("right, cut") << true << "Error (An error description far too long for the room it has)" << 120;
        QTest::newRow("empty") << false << "" << 1000;
        QTest::newRow("markup is text") << false << "<b>Error</b> &amp;" << 1000;
    }
    void fitsItsCaption()
    {
        QFETCH(bool, rightAnchored);
        QFETCH(QString, caption);
        QFETCH(int, room);
        QWidget parent;
        AutoSizeLabel label(rightAnchored ? AutoSizeLabel::Anchor::Right : AutoSizeLabel::Anchor::Left, &parent);
        label.place(50, 80, 31, 13);
        label.setRoom(room);
        label.setCaption(caption);

        // The caption shows whole unless it is wider than the room; the label
        // is no wider than it needs.
        const bool cut = label.fontMetrics().horizontalAdvance(caption) > room;
        const auto shown = [&] { return label.fontMetrics().elidedText(label.text(), Qt::ElideRight, label.width()); };
        QCOMPARE(label.text(), caption); // whole, however it shows
        QCOMPARE(label.isCut(), cut);
        if (cut) {
            QCOMPARE(label.width(), room);
            QVERIFY(shown().endsWith(QChar(0x2026)));
        } else {
            QCOMPARE(shown(), caption);
            QVERIFY(label.width() <= label.fontMetrics().horizontalAdvance(caption) + 1);
        }
        QCOMPARE(label.height(), 13);
        QCOMPARE(label.y(), 80);
        // The anchored edge stays where it was placed.
        if (rightAnchored)
            QCOMPARE(label.x() + label.width(), 81);
        else
            QCOMPARE(label.x(), 50);
        QCOMPARE(label.toolTip(), cut ? caption : QString());
        QCOMPARE(label.textFormat(), Qt::PlainText);

        // A shorter caption shrinks it back and drops the tool tip.
        label.setCaption(QStringLiteral("OK"));
        QCOMPARE(shown(), QStringLiteral("OK"));
        QVERIFY(label.width() <= label.fontMetrics().horizontalAdvance(QStringLiteral("OK")) + 1);
        QCOMPARE(label.toolTip(), QString());
    }
};

QTEST_MAIN(TestAutoSizeLabel)
#include "tst_autosizelabel.moc"
