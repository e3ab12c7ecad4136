// Screen texts: the info box lines, floating messages and the damage preview.

#include "../battle/BattleKit.h"
#include "data/GameTypes.h"

#include <QFontMetrics>
#include <array>

using namespace modStrat;

class ScreenTextsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void messagesAndTheCurrentPlayerLine();
    void captureMessagesAndTheirRightEdge_data();
    void captureMessagesAndTheirRightEdge();
    void theInfoBox();
    void damagePreviewRounding();

private:
    std::unique_ptr<BattleKit> kit;
    int infantry = 0, carrier = 0, tank = 0;
};

void ScreenTextsTest::init()
{
    kit = std::make_unique<BattleKit>(30, 8);
    kit->building(BuildingType::City[1], 1, 3, 3);
    infantry = kit->unit(UnitType::Infantry, 2, 3, 3);
    carrier = kit->unit(UnitType::Transport, 1, 6, 2);
    tank = kit->unit(UnitType::HeavyTank, 1, 29, 5);
    QVERIFY(kit->start());
}

void ScreenTextsTest::messagesAndTheCurrentPlayerLine()
{
    frmGame& game = *kit->game;
    const auto view = [&](int damage, int defender) {
        game.ViewDamage(static_cast<std::int16_t>(damage), static_cast<std::int16_t>(defender), 10, static_cast<std::int16_t>(tank));
    };
    // Shown for 50 frames.
    view(30, infantry);
    int drawn = 0;
    for (int frame = 0; frame < 60; ++frame, game.DrawText())
        drawn += GameMessages[3].Visible ? 1 : 0;
    QCOMPARE(drawn, 50);
    // The free slots 3..10 are taken in order; what finds none is dropped.
    for (int slot = 3; slot <= 8; ++slot)
        GameMessages[slot].Visible = true;
    Units[infantry].HP = 40;
    view(60, infantry);
    QVERIFY(GameMessages[9].Text == QStringLiteral("Player 1 did 60 damage") && GameMessages[9].Y == 300);
    QVERIFY(GameMessages[10].Text == QStringLiteral("Leaving 40 HP") && GameMessages[10].Y == 350 && GameMessages[10].Life == 50);
    // Unit numbers may come from another machine: a message naming no unit is not shown.
    GameMessages[3].Visible = GameMessages[4].Visible = false;
    game.ViewCapture(1, 999, true);
    Units[infantry].CAP = None;  // capturing nothing
    game.ViewCapture(1, infantry, false);
    game.ViewDamage(5, 999, 0, 0);
    QVERIFY(GameMessages[3].Text == QStringLiteral("Player 1 did 5 damage") && !GameMessages[4].Visible);
    // The current player's line, kept when the player number is outside 1..4.
    Players[1].Name = QStringLiteral("Ann");
    kit->game->DrawText();
    QCOMPARE(kit->game->CurrentPlayerText.Text, QStringLiteral("Current Player: Ann"));
    CurrentPlayer = 9;
    kit->game->DrawText();
    QCOMPARE(kit->game->CurrentPlayerText.Text, QStringLiteral("Current Player: Ann"));
}

void ScreenTextsTest::captureMessagesAndTheirRightEdge_data()
{
    QTest::addColumn<bool>("nearEdge");
    QTest::addColumn<bool>("captured");
    QTest::addColumn<QString>("text");
    QTest::newRow("progress") << false << false << QStringLiteral("Player 2's Infantry captured 60 Capture Points.  140 remaining.");
    QTest::newRow("taken") << false << true << QStringLiteral("Player 2's Infantry captured the building.");
    QTest::newRow("progress at the edge") << true << false << QStringLiteral("Player 2's Heavy Tank captured 100 Capture Points.  140 remaining.");
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
    QVERIFY(message.Text == text && message.Y == Units[unit].Y + 35);
    // 35 pixels left of the unit; near the right edge, as far left as the whole text needs.
    const int width = QFontMetrics(platform::resolveFont({QStringLiteral("Impact"), 12})).horizontalAdvance(text);
    QCOMPARE(message.X, nearEdge ? 800 - width : Units[unit].X - 35);
}

void ScreenTextsTest::theInfoBox()
{
    frmGame& game = *kit->game;
    const auto show = [&](int unit) {
        for (int i = 3; i <= 15; ++i)
            game.ScreenTexts[i].Visible = false;
        game.InfoUnit = unit;
        game.SetUnitBoxPic();
    };
    Units[carrier].TRANS = infantry;
    show(carrier);
    QVERIFY(game.UnitBoxShown);
    const QStringList expected = {"Player 1", "Transport", "HP: 100", "Defense: 1", "Moves Left: 0",
                                  "Fuel: 65", "Ammo: 0", "Transporting: Infantry"};
    QCOMPARE(BattleKit::captions(game.ScreenTexts), expected);
    for (int k = 1; k <= expected.size(); ++k) {
        const TextItem& line = game.ScreenTexts[k + 2];
        QVERIFY(line.X == 62 + 54 + 10 + (k > 5 ? 85 : 0) && line.Y == game.PanelTop + 7 + ((k - 1) % 5) * 14);
    }
    // A capturing unit on a building: defence refreshed, and the capture line.
    Units[infantry].CAP = 1;
    show(infantry);
    QVERIFY(Units[infantry].Defense == 2 && game.ScreenTexts[6].Text == QStringLiteral("Defense: 2")
            && game.ScreenTexts[10].Text == QStringLiteral("Rem. Capture: 200"));
    // The moves line follows the selected unit, whichever unit the box describes.
    SelectedUnit = static_cast<std::int16_t>(tank);
    Units[tank].Moves = 4;
    game.DrawText();
    QCOMPARE(game.ScreenTexts[7].Text, QStringLiteral("Moves Left: 4"));
    // A unit placed for no player keeps an empty owner line.
    Units[tank].P = 0;
    show(tank);
    QVERIFY(game.ScreenTexts[3].Text.isEmpty() && game.ScreenTexts[4].Text == QStringLiteral("Heavy Tank"));
    // Without the box its lines are drawn once more, then hidden.
    game.UnitBoxShown = false;
    game.DrawText();
    QVERIFY(!game.ScreenTexts[3].Visible);
    // Lines past the thirteenth find no slot.
    for (int i = 1; i <= 14; ++i)
        game.AddUnitBoxText(QString::number(i));
    QVERIFY(game.ScreenTexts[15].Text == QStringLiteral("13") && !game.ScreenTexts[16].Visible);
}

void ScreenTextsTest::damagePreviewRounding()
{
    frmGame& game = *kit->game;
    SelectedUnit = static_cast<std::int16_t>(tank);
    // Heavy Tank against Armored ATV is step 9: 35 / 100 * 90 is just under 31.5;
    // infantry against infantry is step 5: 37.5 goes to the even 38; infantry cannot hit a fighter.
    for (const auto& [attacker, defender, hp, shown] : {std::array{int(UnitType::HeavyTank), int(UnitType::ArmoredATV), 35, 31},
                                                        {int(UnitType::Infantry), int(UnitType::Infantry), 75, 38},
                                                        {int(UnitType::Infantry), int(UnitType::Fighter), 100, 0}}) {
        Units[tank].PIC = static_cast<std::int16_t>(attacker);
        Units[tank].HP = static_cast<std::int16_t>(hp);
        Units[infantry].PIC = static_cast<std::int16_t>(defender);
        TargetUnit = infantry;
        game.ChoosingTarget = false;
        QVERIFY(!game.DamagePreview());  // only while a target is chosen
        game.ChoosingTarget = true;
        QCOMPARE(game.DamagePreview().value_or(-1), std::int64_t(shown));
    }
    TargetUnit = None;
    QVERIFY(!game.DamagePreview());
}

QTEST_MAIN(ScreenTextsTest)
#include "tst_screentexts.moc"
