// The map layer, the unit layer, the panel and the clock, by pixel probes.

#include "../battle/BattleKit.h"
#include "SyntheticPictures.h"
#include "data/GameTypes.h"

using namespace modStrat;

class BattleDrawingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void theMapLayer();
    void unitsByOwnerStateAndFacing();
    void carriedUnitsTheFireRangeTintAndAWholeFrame();
    void panelOnlyWithTheInfoBox();

private:
    QRgb at(int x, int y) const { return kit->game->surface.image().pixel(x, y); }
    void redraw()
    {
        kit->game->surface.clear();
        kit->game->DrawMap();
        kit->game->DrawUnits();
    }
    // The pixel in the middle of a unit's sprite block.
    QRgb unitPixel(int unit) const { return at(Units[unit].X + 12, Units[unit].Y + 12); }

    std::unique_ptr<BattleKit> kit;
    PictureStore store;
    int city = 0, emptySlot = 0, tank = 0, recon = 0, infantry = 0, yellow = 0;
};

void BattleDrawingTest::init()
{
    kit = std::make_unique<BattleKit>(10, 8);
    store = syntheticStore();
    kit->map.tile(1, 1, 23);
    city = kit->building(BuildingType::City[2], 2, 4, 4);
    emptySlot = kit->building(None, 0, 5, 4);
    tank = kit->unit(UnitType::HeavyTank, 1, 2, 3);
    recon = kit->unit(UnitType::Recon, 2, 6, 3);
    infantry = kit->unit(UnitType::Infantry, 3, 4, 4);
    yellow = kit->unit(UnitType::Rover, 4, 8, 6);
    QVERIFY(kit->start(4));
    kit->game->setPictures(&store);
    kit->game->CursorShown = false;
}

void BattleDrawingTest::theMapLayer()
{
    frmGame& game = *kit->game;
    Tiles[13].Terrain = 80;
    Tiles[14].Terrain = -1;
    redraw();
    // Terrain without a picture leaves the cleared surface.
    const auto tilePixel = [&](int t) { return at(Tiles[t].X + 3, Tiles[t].Y + 3); };
    QVERIFY(tilePixel(12) == terrainColour(23) && tilePixel(13) == qRgb(0, 0, 0) && tilePixel(14) == qRgb(0, 0, 0));
    // A building replaces its tile; an empty slot shows the tile beneath.
    QCOMPARE(at(Buildings[city].X + 1, Buildings[city].Y + 1), buildingColour(BuildingType::City[2]));
    QCOMPARE(at(Buildings[emptySlot].X + 1, Buildings[emptySlot].Y + 1), terrainColour(0));
    // The cursor's halo: marks only at the corners.
    const TileRecord& spot = Tiles[5];
    game.CursorShown = true;
    kit->cursorTo(spot.X, spot.Y - 2);
    redraw();
    QVERIFY(at(spot.X + 1, spot.Y - 1) == qRgb(250, 250, 250) && at(spot.X + 5, spot.Y + 5) == terrainColour(0));
    // Both halos in one place: the cursor's is painted last.
    game.TargetShown = true;
    std::tie(game.TargetX, game.TargetY) = std::tie(game.CursorX, game.CursorY);
    redraw();
    QCOMPARE(at(spot.X + 1, spot.Y - 1), qRgb(250, 250, 250));
    // No cursor halo while a unit is selected; the target halo stays.
    SelectedUnit = static_cast<std::int16_t>(tank);
    redraw();
    QCOMPARE(at(spot.X + 1, spot.Y - 1), qRgb(255, 0, 0));
}

void BattleDrawingTest::unitsByOwnerStateAndFacing()
{
    frmGame& game = *kit->game;
    redraw();
    // Players 1 and 3 face right, 2 and 4 left; the infantry stands on the city.
    QVERIFY(unitPixel(tank) == rightColour(1, UnitType::HeavyTank) && unitPixel(recon) == leftColour(2, UnitType::Recon));
    QVERIFY(unitPixel(infantry) == rightColour(3, UnitType::Infantry) && unitPixel(yellow) == leftColour(4, UnitType::Rover));
    // Outside the sprite's block the map shows through the mask.
    QCOMPARE(at(Units[tank].X + 1, Units[tank].Y + 20), terrainColour(0));
    // Units that have acted are grey, facing their owner's way.
    Units[tank].E = Units[recon].E = false;
    redraw();
    QVERIFY(unitPixel(tank) == DoneRight && unitPixel(recon) == DoneLeft);

    // A ready selected unit: the green halo in pass 1, its turned sprite in pass 2.
    Units[yellow].SEL = true;
    SelectedUnit = static_cast<std::int16_t>(yellow);
    game.MoveFacing = 3;
    redraw();
    QVERIFY(unitPixel(yellow) == rightColour(4, UnitType::Rover) && at(Units[yellow].X + 1, Units[yellow].Y + 1) == qRgb(0, 255, 0));
    game.MoveFacing = 1;
    redraw();
    QCOMPARE(unitPixel(yellow), TempColour);
    game.MoveFacing = 7;  // no such facing: no sprite, the halo shows alone
    redraw();
    QCOMPARE(unitPixel(yellow), terrainColour(0));
}

void BattleDrawingTest::carriedUnitsTheFireRangeTintAndAWholeFrame()
{
    // A carried unit is not drawn, unless selected.
    Units[recon].HIDDEN = true;
    redraw();
    QCOMPARE(unitPixel(recon), terrainColour(0));
    Units[recon].SEL = true;
    kit->game->MoveFacing = 2;
    redraw();
    QCOMPARE(unitPixel(recon), leftColour(2, UnitType::Recon));

    // The tint sets red to 255 over everything in the cell, the unit included.
    const int tile = (Units[tank].Y + 2 - MapTop) / 25 * 10 + (Units[tank].X - MapLeft) / 25 + 1;
    Tiles[tile].Highlight = true;
    redraw();
    const QRgb sprite = rightColour(1, UnitType::HeavyTank);
    QCOMPARE(unitPixel(tank), qRgb(255, qGreen(sprite), qBlue(sprite)));
    // A whole frame on another player's turn: the units over the map, and the clock.
    MyPlayer = 2;
    kit->game->RunFrame();
    QVERIFY(at(704 + 3, 408 + 70) == qRgb(137, 137, 137) && unitPixel(infantry) == rightColour(3, UnitType::Infantry));
}

void BattleDrawingTest::panelOnlyWithTheInfoBox()
{
    frmGame& game = *kit->game;
    game.MenuItems[1] = TextItem{QStringLiteral("Attack"), 300, game.PanelTop + 20, QStringLiteral("Arial"),
                                 QStringLiteral("16777215"), true, false, 10, true, false, 0};
    game.MenuActive = true;
    const auto draw = [&] {
        game.surface.clear();
        game.DrawMenu();
    };
    const auto boxSprite = [&] { return at(game.UnitBoxLeft + 5 + 12, game.UnitBoxTop + 5 + 12); };
    draw();
    QVERIFY(at(400, game.PanelTop + 50) == qRgb(0, 0, 0) && at(300 - 24 + 2, game.PanelTop + 22) == qRgb(0, 0, 0));
    game.InfoUnit = infantry;
    game.UnitBoxShown = true;
    draw();
    QVERIFY(at(400, game.PanelTop + 50) == qRgb(120, 110, 185) && at(game.UnitBoxLeft + 2, game.UnitBoxTop + 2) == qRgb(255, 255, 254));
    // The described unit's sprite, in its owner's colours, 5 pixels into the box.
    QCOMPARE(boxSprite(), rightColour(3, UnitType::Infantry));
    // The pointer's right edge 5 pixels left of the entry.
    QVERIFY(at(300 - 24, game.PanelTop + 20) == qRgb(123, 222, 123) && at(300 - 5, game.PanelTop + 20) == qRgb(120, 110, 185));
    // With a unit selected the box shows that unit's sprite.
    SelectedUnit = static_cast<std::int16_t>(recon);
    draw();
    QCOMPARE(boxSprite(), leftColour(2, UnitType::Recon));
}

QTEST_MAIN(BattleDrawingTest)
#include "tst_battledrawing.moc"
