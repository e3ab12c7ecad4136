// Screen texts: the info box lines, floating messages and the damage preview.

#include "../battle/BattleKit.h"
#include "data/GameTypes.h"

#include <QFontMetrics>
#include <QtTest>

using namespace modStrat;

class ScreenTextsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void messageOfLifeFiftyIsDrawnFiftyTimes();
    void attackMessagesTakeTheFreeSlotsInOrder();
    void captureMessagesAndTheirRightEdge_data();
    void captureMessagesAndTheirRightEdge();
    void messagesNamingNoUnitAreNotShown();
    void infoBoxLinesInTwoColumns();
    void fourteenthLineIsDropped();
    void neutralUnitStillGetsItsLines();
    void boxLineOutlivesTheBoxByOneFrame();
    void movesLineFollowsTheSelectedUnit();
    void currentPlayerLine();
    void damagePreviewRounding_data();
    void damagePreviewRounding();

private:
    std::unique_ptr<BattleKit> kit;
    int infantry = 0, carrier = 0, tank = 0;
};

void ScreenTextsTest::init()
{
    kit = std::make_unique<BattleKit>();
    MapBuilder map(30, 8, 0);
    map.building(BuildingType::City[1], 1, 3, 3);
    infantry = map.unit(UnitType::Infantry, 2, 3, 3);
    carrier = map.unit(UnitType::Transport, 1, 6, 2);
    tank = map.unit(UnitType::HeavyTank, 1, 29, 5);
    QVERIFY(kit->start(map));
}

void ScreenTextsTest::messageOfLifeFiftyIsDrawnFiftyTimes()
{
    frmGame& game = *kit->game;
    game.ViewDamage(30, static_cast<std::int16_t>(infantry), 0, static_cast<std::int16_t>(tank));
    int drawn = 0;
    for (int frame = 0; frame < 60; ++frame) {
        if (GameMessages[3].Visible)
            ++drawn;
        game.DrawText();
    }
    QCOMPARE(drawn, 50);
}

void ScreenTextsTest::attackMessagesTakeTheFreeSlotsInOrder()
{
    for (int slot = 3; slot <= 8; ++slot)
        GameMessages[slot].Visible = true;
    Units[infantry].HP = 40;
    Units[tank].HP = 90;
    CurrentPlayer = 1;
    kit->game->ViewDamage(60, static_cast<std::int16_t>(infantry), 10, static_cast<std::int16_t>(tank));
    QCOMPARE(GameMessages[9].Text, QStringLiteral("Player 1 did 60 damage"));
    QCOMPARE(GameMessages[9].Y, 300);
    QCOMPARE(GameMessages[10].Text, QStringLiteral("Leaving 40 HP"));
    QCOMPARE(GameMessages[10].Y, 350);
    QCOMPARE(GameMessages[10].Life, 50);
    QCOMPARE(GameMessages[10].FontName, QStringLiteral("Impact"));
    QCOMPARE(GameMessages[10].Color, QStringLiteral("65535"));

    GameMessages[3].Visible = false;
    kit->game->ViewDamage(0, static_cast<std::int16_t>(infantry), 0, static_cast<std::int16_t>(tank));
    QCOMPARE(GameMessages[3].Text, QStringLiteral("Player 1 did 0 damage"));
}

void ScreenTextsTest::captureMessagesAndTheirRightEdge_data()
{
    QTest::addColumn<bool>("nearEdge");
    QTest::addColumn<bool>("captured");
    QTest::addColumn<QString>("text");
    QTest::newRow("progress") << false << false
                              << QStringLiteral("Player 2's Infantry captured 60 Capture Points.  140 remaining.");
    QTest::newRow("taken") << false << true << QStringLiteral("Player 2's Infantry captured the building.");
    QTest::newRow("progress at the edge")
        << true << false << QStringLiteral("Player 2's Heavy Tank captured 100 Capture Points.  140 remaining.");
    QTest::newRow("taken at the edge") << true << true << QStringLiteral("Player 2's Heavy Tank captured the building.");
}

void ScreenTextsTest::captureMessagesAndTheirRightEdge()
{
    QFETCH(bool, nearEdge);
    QFETCH(bool, captured);
    QFETCH(QString, text);
    const int unit = nearEdge ? tank : infantry;
    CurrentPlayer = 2;
    Units[infantry].HP = 60;
    Units[unit].CAP = 1;
    Buildings[1].CAP = 140;
    kit->game->ViewCapture(1, unit, captured);
    const TextItem& message = GameMessages[3];
    QCOMPARE(message.Text, text);
    QCOMPARE(message.Y, Units[unit].Y + 35);
    // 35 pixels left of the unit; near the right edge, as far left as the whole text needs.
    const int width = QFontMetrics(platform::resolveFont({QStringLiteral("Impact"), 12})).horizontalAdvance(text);
    QCOMPARE(message.X, nearEdge ? 800 - width : Units[unit].X - 35);
}

void ScreenTextsTest::messagesNamingNoUnitAreNotShown()
{
    frmGame& game = *kit->game;
    game.ViewCapture(1, 999, true);
    Units[infantry].CAP = None;
    game.ViewCapture(1, infantry, false);
    game.ViewDamage(5, 999, 0, 0);
    QVERIFY(GameMessages[3].Visible);  // "did 5 damage" names no unit
    QVERIFY(!GameMessages[4].Visible);
}

void ScreenTextsTest::infoBoxLinesInTwoColumns()
{
    frmGame& game = *kit->game;
    Units[carrier].TRANS = infantry;
    game.InfoUnit = carrier;
    game.SetUnitBoxPic();
    QVERIFY(game.UnitBoxShown);
    const QStringList expected = {"Player 1", "Transport", "HP: 100", "Defense: 1", "Moves Left: 0",
                                  "Fuel: 65", "Ammo: 0", "Transporting: Infantry"};
    for (int k = 1; k <= expected.size(); ++k) {
        const TextItem& line = game.ScreenTexts[k + 2];
        QVERIFY(line.Visible);
        QCOMPARE(line.Text, expected.at(k - 1));
        QCOMPARE(line.X, 62 + 54 + 10 + (k > 5 ? 85 : 0));
        QCOMPARE(line.Y, game.PanelTop + 7 + ((k - 1) % 5) * 14);
    }
    QVERIFY(!game.ScreenTexts[11].Visible);

    // A capturing unit on a building: defence refreshed, and the capture line.
    for (int i = 3; i <= 15; ++i)
        game.ScreenTexts[i].Visible = false;
    Units[infantry].CAP = 1;
    Units[infantry].Defense = 1;
    game.InfoUnit = infantry;
    game.SetUnitBoxPic();
    QCOMPARE(int(Units[infantry].Defense), 2);
    QCOMPARE(game.ScreenTexts[6].Text, QStringLiteral("Defense: 2"));
    QCOMPARE(game.ScreenTexts[10].Text, QStringLiteral("Rem. Capture: 200"));
}

void ScreenTextsTest::fourteenthLineIsDropped()
{
    frmGame& game = *kit->game;
    for (int i = 1; i <= 13; ++i)
        game.AddUnitBoxText(QString::number(i));
    const TextItem before = game.ScreenTexts[15];
    game.AddUnitBoxText(QStringLiteral("fourteen"));
    QCOMPARE(game.ScreenTexts[15].Text, before.Text);
    QCOMPARE(game.ScreenTexts[15].Text, QStringLiteral("13"));
    QVERIFY(!game.ScreenTexts[16].Visible);
}

void ScreenTextsTest::neutralUnitStillGetsItsLines()
{
    frmGame& game = *kit->game;
    Units[tank].P = 0;
    game.InfoUnit = tank;
    game.SetUnitBoxPic();
    QCOMPARE(game.ScreenTexts[3].Text, QString());
    QCOMPARE(game.ScreenTexts[4].Text, QStringLiteral("Heavy Tank"));
    QCOMPARE(game.ScreenTexts[9].Text, QStringLiteral("Ammo: 8"));
}

void ScreenTextsTest::boxLineOutlivesTheBoxByOneFrame()
{
    frmGame& game = *kit->game;
    game.InfoUnit = tank;
    game.SetUnitBoxPic();
    game.UnitBoxShown = false;
    game.DrawText();  // drawn this once, then hidden
    QVERIFY(!game.ScreenTexts[3].Visible);
}

void ScreenTextsTest::movesLineFollowsTheSelectedUnit()
{
    frmGame& game = *kit->game;
    game.InfoUnit = infantry;
    game.SetUnitBoxPic();
    SelectedUnit = static_cast<std::int16_t>(tank);
    Units[tank].Moves = 4;
    game.DrawText();
    QCOMPARE(game.ScreenTexts[7].Text, QStringLiteral("Moves Left: 4"));
    Units[tank].Moves = 3;
    game.DrawText();
    QCOMPARE(game.ScreenTexts[7].Text, QStringLiteral("Moves Left: 3"));
}

void ScreenTextsTest::currentPlayerLine()
{
    frmGame& game = *kit->game;
    Players[1].Name = QStringLiteral("Ann");
    CurrentPlayer = 1;
    game.surface.clear();
    game.DrawText();
    QCOMPARE(game.CurrentPlayerText.Text, QStringLiteral("Current Player: Ann"));
    // Drawn from x 600, y 0: nothing left of it in its row.
    const QImage& image = game.surface.image();
    bool leftOfLine = false, onLine = false;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 800; ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != 0)
                (x < 600 ? leftOfLine : onLine) = true;
        }
    }
    QVERIFY(onLine);
    QVERIFY(!leftOfLine);
    // A player number outside 1..4 keeps the last line.
    CurrentPlayer = 9;
    game.DrawText();
    QCOMPARE(game.CurrentPlayerText.Text, QStringLiteral("Current Player: Ann"));
}

void ScreenTextsTest::damagePreviewRounding_data()
{
    QTest::addColumn<int>("attackerType");
    QTest::addColumn<int>("defenderType");
    QTest::addColumn<int>("hp");
    QTest::addColumn<int>("shown");
    // Heavy Tank against Armored ATV is step 9: 35 / 100 * 90 is just under 31.5.
    QTest::newRow("35 x 9") << int(UnitType::HeavyTank) << int(UnitType::ArmoredATV) << 35 << 31;
    // Heavy Infantry against Infantry is step 6; Anti-Air against Infantry 7.
    QTest::newRow("75 x 5 rounds to even") << int(UnitType::Infantry) << int(UnitType::Infantry) << 75 << 38;
    QTest::newRow("100 x 5") << int(UnitType::Infantry) << int(UnitType::Infantry) << 100 << 50;
    QTest::newRow("cannot hit") << int(UnitType::Infantry) << int(UnitType::Fighter) << 100 << 0;
}

void ScreenTextsTest::damagePreviewRounding()
{
    QFETCH(int, attackerType);
    QFETCH(int, defenderType);
    QFETCH(int, hp);
    QFETCH(int, shown);
    frmGame& game = *kit->game;
    Units[tank].PIC = static_cast<std::int16_t>(attackerType);
    Units[tank].HP = static_cast<std::int16_t>(hp);
    Units[infantry].PIC = static_cast<std::int16_t>(defenderType);
    SelectedUnit = static_cast<std::int16_t>(tank);
    TargetUnit = infantry;
    QVERIFY(!game.DamagePreview());
    game.ChoosingTarget = true;
    QCOMPARE(game.DamagePreview().value_or(-1), std::int64_t(shown));
    TargetUnit = None;
    QVERIFY(!game.DamagePreview());
}

QTEST_MAIN(ScreenTextsTest)
#include "tst_screentexts.moc"
