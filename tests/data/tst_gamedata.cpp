// The shared tables and the floating message queue.

#include "data/GameData.h"
#include "data/Table.h"

#include <QtTest>

using namespace modStrat;

class GameDataTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { ResetAll(); }
    void indexesOutsideATableTouchNothing()
    {
        Units[1].HP = 55;
        Units[100].HP = 66;
        for (int bad : {0, -1, 101, 999}) {
            QVERIFY(Units.at(bad) == nullptr);
            Units[bad].HP = 12;               // goes nowhere
            QCOMPARE(int(Units[bad].HP), 0);  // and reads nothing
        }
        QCOMPARE(int(Units[1].HP) + int(Units[100].HP), 55 + 66);
        QVERIFY(!Buildings.at(51) && !Tiles.at(601) && !Money.at(5));
    }

    void floatingMessagesQueueTwoDeep()
    {
        ShowGameMessage(QStringLiteral("first"));
        GameMessages[1].Life = 90;  // some frames later
        ShowGameMessage(QStringLiteral("second"));
        QCOMPARE(GameMessages[1].Text, QStringLiteral("second"));
        QCOMPARE(GameMessages[1].Life, 140);
        QCOMPARE(GameMessages[2].Text, QStringLiteral("first"));
        QCOMPARE(GameMessages[2].Life, 90);  // the older message keeps its remaining life

        ShowGameMessage(QStringLiteral("third"));
        QCOMPARE(GameMessages[2].Text, QStringLiteral("second"));
        QCOMPARE(GameMessages[1].Text, QStringLiteral("third"));

        // A message arriving while slot 1 is empty leaves slot 2 alone.
        GameMessages[1].Visible = false;
        ShowGameMessage(QStringLiteral("fourth"));
        QCOMPARE(GameMessages[2].Text, QStringLiteral("second"));
        QCOMPARE(GameMessages[1].Text, QStringLiteral("fourth"));
    }

    void freeTextCannotSplitALine()
    {
        QCOMPARE(FreeText(QStringLiteral("a@b\r\nc")), QStringLiteral("abc"));
        QCOMPARE(FreeText(QStringLiteral("plain")), QStringLiteral("plain"));
    }
};

QTEST_MAIN(GameDataTest)
#include "tst_gamedata.moc"
