// The results window: its rows, the word to the lobby server, and where Continue leads.

#include "FrontendKit.h"
#include "frontend/frmEndGame.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using namespace modStrat;

class ResultsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rowsShowEveryPlayersTotals()
    {
        FrontendFolder folder;
        for (int p = 1; p <= 4; ++p) {
            Players[p].Name = QStringLiteral("P%1").arg(p);
            UnitsDestroyed[p] = p;
            UnitsLost[p] = 10 + p;
            UnitsProduced[p] = 20 + p;
        }
        Players[2].Name = QStringLiteral("<i>bob</i>");
        DayCount = 7;
        IsOfflineGame = true;
        frmEndGame window;
        window.show();
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(window.lblDestroyed[row]->text(), QString::number(row + 1));
            QCOMPARE(window.lblLost[row]->text(), QString::number(11 + row));
            QCOMPARE(window.lblProduced[row]->text(), QString::number(21 + row));
            QCOMPARE(window.lblPlayer[row]->textFormat(), Qt::PlainText);
        }
        QCOMPARE(window.lblPlayer[1]->text(), QStringLiteral("<i>bob</i>"));
        QCOMPARE(window.lblDays->text(), QStringLiteral("7"));
        // Texts in Arial, which is Liberation Sans here; the banner keeps its own face.
        QCOMPARE(QFontInfo(window.lblDays->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(QFontInfo(window.lblPlayer[3]->font()).family(), QStringLiteral("Liberation Sans"));
        QVERIFY(QFontInfo(window.lblBanner->font()).family() != QStringLiteral("Liberation Sans"));

        // Save Replay may be pressed, and does nothing; Continue leads back.
        QSignalSpy start(&window, &frmEndGame::continueToStart);
        QVERIFY(window.cmdSaveReplay->isEnabled());
        window.cmdSaveReplay->click();
        QVERIFY(window.isVisible());
        QCOMPARE(start.count(), 0);
        window.cmdContinue->click();
        QCOMPARE(start.count(), 1);
        QVERIFY(!window.isVisible());
    }

    void onlyAPlayerStillInANetworkGameEndsIt_data()
    {
        QTest::addColumn<bool>("offline");
        QTest::addColumn<int>("myPlayer");
        QTest::addColumn<bool>("lost");
        QTest::addColumn<int>("sent");
        QTest::newRow("network winner") << false << 1 << false << 1;
        QTest::newRow("network loser") << false << 2 << true << 0;
        QTest::newRow("offline") << true << 1 << false << 0;
        QTest::newRow("no local player") << false << 0 << false << 0;
    }

    void onlyAPlayerStillInANetworkGameEndsIt()
    {
        QFETCH(bool, offline);
        QFETCH(int, myPlayer);
        QFETCH(bool, lost);
        QFETCH(int, sent);
        FrontendFolder folder;
        IsOfflineGame = offline;
        MyPlayer = myPlayer;
        PlayerLost[myPlayer] = lost;
        frmEndGame window;
        QSignalSpy gameOver(&window, &frmEndGame::gameOver);
        QSignalSpy lobby(&window, &frmEndGame::continueToLobby);
        window.show();
        QCOMPARE(gameOver.count(), sent);
        // Once per showing, not at every activation.
        window.activateWindow();
        QCoreApplication::processEvents();
        QCOMPARE(gameOver.count(), sent);
        window.cmdContinue->click();
        QCOMPARE(lobby.count(), offline ? 0 : 1);
    }
};

QTEST_MAIN(ResultsTest)
#include "tst_results.moc"
