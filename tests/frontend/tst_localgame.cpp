// The hot-seat set-up: players, time limit, map choice and the start checks.

#include "FrontendKit.h"
#include "frontend/MapPreview.h"
#include "frontend/frmLocalGame.h"
#include "screen/PictureStore.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using namespace modStrat;
using platform::dialogScript::pushFileName;
using platform::dialogScript::shown;

class LocalGameTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void defaultStartWithATwoPlayerMap();
    void startNeedsAChosenMap();
    void tooManyPlayersForTheMap();
    void secondsMustBeAWholeNumber();
    void playerCountShowsItsPlayersAndEditsPlayerOne();
    void computerFlagsAndNamesPerPlayer();
};

void LocalGameTest::defaultStartWithATwoPlayerMap()
{
    FrontendFolder folder;
    PictureStore pictures;
    auto* window = new frmLocalGame(pictures);
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<frmLocalGame> alive(window);
    window->show();
    QSignalSpy started(window, &frmLocalGame::startRequested);
    // The preview's border lies at (192, 48) of a 650 x 450 window.
    QCOMPARE(window->size(), QSize(650, 450));
    QCOMPARE(window->preview->pos(), QPoint(192, 48));

    const QString map = folder.writeDuel();
    pushFileName(map);
    window->cmdChooseMap->click();
    QCOMPARE(shown(), QStringList{QStringLiteral("Select Map")});
    QCOMPARE(platform::dialogScript::fileFilters(), QStringList{QStringLiteral("V:FL Level (*.spw)")});
    QCOMPARE(window->lblCurrentMap->text(), QStringLiteral("Duel"));
    QCOMPARE(window->lblDescription->text(), QStringLiteral("Two bases <b>face</b> each other."));
    QCOMPARE(window->lblDescription->textFormat(), Qt::PlainText);
    QVERIFY(window->cmdStart->isEnabled());

    window->cmdStart->click();
    QCOMPARE(started.count(), 1);
    QCOMPARE(PlayerCount, 2);
    QCOMPARE(TimeLimit, NoTimeLimit);
    QVERIFY(IsOfflineGame);
    QVERIFY(StartGamePending);
    QCOMPARE(MapPath, map);
    QCOMPARE(Players[1].Name, QStringLiteral("Player 1"));
    QCOMPARE(Players[2].Name, QStringLiteral("Player 2"));
    for (int p = 1; p <= 4; ++p)
        QCOMPARE(Players[p].AILevel, 2);
    // The set-up closes itself, and goes once it is safe to.
    QVERIFY(!window->isVisible());
    QTRY_VERIFY(alive.isNull());
}

void LocalGameTest::startNeedsAChosenMap()
{
    FrontendFolder folder;
    PictureStore pictures;
    frmLocalGame window(pictures);
    QVERIFY(!window.cmdStart->isEnabled());

    // Cancel: still no map.
    window.cmdChooseMap->click();
    QVERIFY(!window.cmdStart->isEnabled());
    QCOMPARE(window.lblCurrentMap->text(), QStringLiteral("No Map Selected"));

    // A file gone missing cannot be started.
    pushFileName(folder.path(QStringLiteral("gone.spw")));
    window.cmdChooseMap->click();
    QVERIFY(!window.cmdStart->isEnabled());
    QCOMPARE(window.lblCurrentMap->text(), QStringLiteral("gone.spw (not found)"));

    // Too big to be a map, and no name to show: the file name stands in.
    const QString big = folder.path(QStringLiteral("big.spw"));
    QFile bigFile(big);
    QVERIFY(bigFile.open(QIODevice::WriteOnly));
    bigFile.write("[GEN]\r\nXMAX=2\r\nYMAX=2\r\n" + QByteArray(mapfile::FileByteLimit, ';'));
    bigFile.close();
    pushFileName(big);
    window.cmdChooseMap->click();
    QVERIFY(!window.cmdStart->isEnabled());
    QCOMPARE(window.lblCurrentMap->text(), QStringLiteral("big.spw (no playable size)"));

    pushFileName(folder.writeDuel());
    window.cmdChooseMap->click();
    QVERIFY(window.cmdStart->isEnabled());
    // Cancelling a later choice keeps the map chosen.
    window.cmdChooseMap->click();
    QVERIFY(window.cmdStart->isEnabled());
    QCOMPARE(window.mapFile, folder.path(QStringLiteral("duel.spw")));
}

void LocalGameTest::tooManyPlayersForTheMap()
{
    FrontendFolder folder;
    PictureStore pictures;
    frmLocalGame window(pictures);
    QSignalSpy started(&window, &frmLocalGame::startRequested);
    window.opPlayers[2]->click();   // 4 players
    pushFileName(folder.writeDuel());
    window.cmdChooseMap->click();

    window.cmdStart->click();
    QCOMPARE(shown().last(), frmLocalGame::TooManyPlayers);
    QCOMPARE(started.count(), 0);
    QVERIFY(!StartGamePending);
    QCOMPARE(PlayerCount, 0);

    window.opPlayers[0]->click();   // 2 players
    window.cmdStart->click();
    QCOMPARE(started.count(), 1);
    QCOMPARE(PlayerCount, 2);

    // A map without PLAYERS takes nobody, whatever the last map allowed.
    const QString noCount = folder.writeDuel(QStringLiteral("nocount.spw"));
    platform::iniWrite(QStringLiteral("GEN"), QStringLiteral("PLAYERS"), QStringLiteral("many"), noCount);
    pushFileName(noCount);
    window.cmdChooseMap->click();
    QCOMPARE(window.MapPlayers, 0);
    window.cmdStart->click();
    QCOMPARE(shown().last(), frmLocalGame::TooManyPlayers);
    QCOMPARE(started.count(), 1);
}

void LocalGameTest::secondsMustBeAWholeNumber()
{
    FrontendFolder folder;
    PictureStore pictures;
    frmLocalGame window(pictures);
    QSignalSpy started(&window, &frmLocalGame::startRequested);
    pushFileName(folder.writeDuel());
    window.cmdChooseMap->click();

    QVERIFY(!window.txtTime->isEnabled());
    window.chkTime->click();
    QVERIFY(window.txtTime->isEnabled());
    for (const char* text : {"abc", "", "0", "-5", "40000", "12.5"}) {
        window.txtTime->setText(QString::fromLatin1(text));
        window.cmdStart->click();
        QCOMPARE(shown().last(), frmLocalGame::BadSeconds);
        QCOMPARE(started.count(), 0);
        QCOMPARE(TimeLimit, 0);
    }
    window.txtTime->setText(QStringLiteral("9999"));
    window.cmdStart->click();
    QCOMPARE(started.count(), 1);
    QCOMPARE(TimeLimit, NoTimeLimit);

    // Unticked, the text is not read at all.
    frmLocalGame second(pictures);
    pushFileName(folder.writeDuel());
    second.cmdChooseMap->click();
    second.txtTime->setText(QStringLiteral("abc"));
    second.cmdStart->click();
    QCOMPARE(TimeLimit, NoTimeLimit);
    QVERIFY(StartGamePending);
}

void LocalGameTest::playerCountShowsItsPlayersAndEditsPlayerOne()
{
    FrontendFolder folder;
    PictureStore pictures;
    frmLocalGame window(pictures);
    window.show();
    window.opPlayers[2]->click();
    window.opCurPlayer[3]->click();
    QCOMPARE(window.txtNickname->text(), QStringLiteral("Player 4"));

    // From 4 players to 3: player 4's button goes and player 1 is edited, whoever was.
    window.opPlayers[1]->click();
    QCOMPARE(window.NumPlayers, 3);
    QVERIFY(window.opCurPlayer[2]->isVisible());
    QVERIFY(!window.opCurPlayer[3]->isVisible());
    QVERIFY(window.opCurPlayer[0]->isChecked());
    QCOMPARE(window.CurPlayer, 1);
    QCOMPARE(window.txtNickname->text(), QStringLiteral("Player 1"));
}

void LocalGameTest::computerFlagsAndNamesPerPlayer()
{
    FrontendFolder folder;
    PictureStore pictures;
    {
        frmLocalGame window(pictures);
        window.opPlayers[1]->click();   // 3 players
        window.opCurPlayer[1]->click();
        window.chkComputer->click();
        // A click in a default name empties it; other names stay.
        QTest::mouseClick(window.txtNickname, Qt::LeftButton);
        QVERIFY(window.txtNickname->text().isEmpty());
        QTest::keyClicks(window.txtNickname, QStringLiteral("player two"));
        QTest::mouseClick(window.txtNickname, Qt::LeftButton);
        QCOMPARE(window.txtNickname->text(), QStringLiteral("player two"));

        window.opCurPlayer[0]->click();
        QVERIFY(!window.chkComputer->isChecked());
        window.opCurPlayer[2]->click();
        window.chkComputer->click();
        window.opCurPlayer[1]->click();
        QVERIFY(window.chkComputer->isChecked());
        QCOMPARE(window.txtNickname->text(), QStringLiteral("player two"));

        QVERIFY(!Players[1].IsComputer);
        QVERIFY(Players[2].IsComputer);
        QVERIFY(Players[3].IsComputer);
        QCOMPARE(Players[2].Name, QStringLiteral("player two"));
    }

    // The next set-up names the players afresh, levels back at 2, but keeps each computer flag.
    Players[3].AILevel = 4;
    frmLocalGame again(pictures);
    QCOMPARE(Players[2].Name, QStringLiteral("Player 2"));
    QCOMPARE(Players[3].AILevel, frmLocalGame::ComputerLevel);
    QVERIFY(!again.chkComputer->isChecked());
    again.opPlayers[1]->click();
    again.opCurPlayer[2]->click();
    QVERIFY(again.chkComputer->isChecked());
    QVERIFY(Players[3].IsComputer);
}

QTEST_MAIN(LocalGameTest)
#include "tst_localgame.moc"
