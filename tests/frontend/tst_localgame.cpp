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
    void defaultStartWithATwoPlayerMap()
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
        QCOMPARE(window->lblDescription->text(), QStringLiteral("Two bases <b>face</b> each other."));
        QCOMPARE(window->lblDescription->textFormat(), Qt::PlainText);

        window->cmdStart->click();
        QCOMPARE(started.count(), 1);
        QVERIFY(IsOfflineGame && StartGamePending && PlayerCount == 2 && TimeLimit == NoTimeLimit);
        QCOMPARE(MapPath, map);
        QCOMPARE(Players[2].Name, QStringLiteral("Player 2"));
        QVERIFY(std::all_of(Players.begin(), Players.end(), [](const PlayerRecord& p) { return p.AILevel == 2; }));
        // The set-up closes itself, and goes once it is safe to.
        QVERIFY(!window->isVisible());
        QTRY_VERIFY(alive.isNull());
    }

    void startNeedsAPlayableMap()
    {
        FrontendFolder folder;
        PictureStore pictures;
        frmLocalGame window(pictures);
        QFile big(folder.path(QStringLiteral("big.spw")));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write("[GEN]\r\nXMAX=2\r\nYMAX=2\r\n" + QByteArray(mapfile::FileByteLimit, ';'));
        big.close();
        const struct {
            std::optional<QString> file;  // nullopt: the dialog is cancelled
            bool startable;
            QString label;
        } choices[] = {
            {std::nullopt, false, QStringLiteral("No Map Selected")},
            {folder.path(QStringLiteral("gone.spw")), false, QStringLiteral("gone.spw (not found)")},
            // Too big to be a map, and no name: the file name stands in.
            {big.fileName(), false, QStringLiteral("big.spw (no playable size)")},
            {folder.writeDuel(), true, QStringLiteral("Duel")},
            {std::nullopt, true, QStringLiteral("Duel")},  // a later cancel keeps the map
        };
        for (const auto& choice : choices) {
            pushFileName(choice.file);
            window.cmdChooseMap->click();
            QCOMPARE(window.cmdStart->isEnabled(), choice.startable);
            QCOMPARE(window.lblCurrentMap->text(), choice.label);
        }
        QCOMPARE(window.mapFile, folder.path(QStringLiteral("duel.spw")));
    }

    void startChecks_data()
    {
        QTest::addColumn<int>("players");
        QTest::addColumn<QString>("mapPlayers");  // PLAYERS of the map chosen after a 2-player map
        QTest::addColumn<QString>("seconds");     // "-": no time limit
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<int>("timeLimit");
        QTest::newRow("two on a map for two") << 2 << "2" << "-" << "" << int(NoTimeLimit);
        QTest::newRow("four on a map for two") << 4 << "2" << "-" << frmLocalGame::TooManyPlayers << 0;
        QTest::newRow("a map with no player count") << 2 << "many" << "-" << frmLocalGame::TooManyPlayers << 0;
        QTest::newRow("45 seconds") << 2 << "2" << "45" << "" << 45;
        for (const char* bad : {"abc", "", "0", "-5", "40000", "12.5"})
            QTest::addRow("seconds '%s'", bad) << 2 << "2" << bad << frmLocalGame::BadSeconds << 0;
    }

    void startChecks()
    {
        QFETCH(int, players);
        QFETCH(QString, mapPlayers);
        QFETCH(QString, seconds);
        QFETCH(QString, refusal);
        QFETCH(int, timeLimit);
        FrontendFolder folder;
        PictureStore pictures;
        frmLocalGame window(pictures);
        QSignalSpy started(&window, &frmLocalGame::startRequested);
        window.opPlayers[players - 2]->click();
        pushFileName(folder.writeDuel());
        window.cmdChooseMap->click();
        const QString map = folder.writeDuel(QStringLiteral("second.spw"));
        platform::iniWrite(QStringLiteral("GEN"), QStringLiteral("PLAYERS"), mapPlayers, map);
        pushFileName(map);
        window.cmdChooseMap->click();
        // Unticked, the seconds are not read at all.
        window.txtTime->setText(QStringLiteral("abc"));
        if (seconds != QLatin1String("-")) {
            window.chkTime->click();
            window.txtTime->setText(seconds);
        }
        window.cmdStart->click();
        QCOMPARE(shown().size() > 2 ? shown().last() : QString(), refusal);
        QCOMPARE(started.count(), refusal.isEmpty() ? 1 : 0);
        QCOMPARE(StartGamePending, refusal.isEmpty());
        QCOMPARE(TimeLimit, timeLimit);
    }

    void playersAreEditedOneAtATime()
    {
        FrontendFolder folder;
        PictureStore pictures;
        {
            frmLocalGame window(pictures);
            window.show();
            window.opPlayers[2]->click();  // 4 players
            window.opCurPlayer[3]->click();
            QCOMPARE(window.txtNickname->text(), QStringLiteral("Player 4"));
            // From 4 players to 3: player 4's button goes and player 1 is edited, whoever was.
            window.opPlayers[1]->click();
            QVERIFY(window.opCurPlayer[2]->isVisible() && !window.opCurPlayer[3]->isVisible());
            QCOMPARE(window.txtNickname->text(), QStringLiteral("Player 1"));
            window.opCurPlayer[1]->click();
            window.chkComputer->click();
            // A click in a default name empties it; other names stay.
            QTest::mouseClick(window.txtNickname, Qt::LeftButton);
            QTest::keyClicks(window.txtNickname, QStringLiteral("player two"));
            QTest::mouseClick(window.txtNickname, Qt::LeftButton);
            QCOMPARE(window.txtNickname->text(), QStringLiteral("player two"));
            window.opCurPlayer[0]->click();
            QVERIFY(!window.chkComputer->isChecked());
            window.opCurPlayer[2]->click();
            window.chkComputer->click();
            window.opCurPlayer[1]->click();
            QVERIFY(window.chkComputer->isChecked());
            QVERIFY(!Players[1].IsComputer && Players[2].IsComputer && Players[3].IsComputer);
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
};

QTEST_MAIN(LocalGameTest)
#include "tst_localgame.moc"
