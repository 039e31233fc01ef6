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

        const int natural = label.fontMetrics().horizontalAdvance(caption);
        const bool cut = natural > room;
        QCOMPARE(label.text(), caption); // whole, however it shows
        QCOMPARE(label.isCut(), cut);
        QCOMPARE(label.width(), std::min(natural, room));
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
        QCOMPARE(label.width(), label.fontMetrics().horizontalAdvance(QStringLiteral("OK")));
        QCOMPARE(label.toolTip(), QString());
    }
};

QTEST_MAIN(TestAutoSizeLabel)
#include "tst_autosizelabel.moc"
