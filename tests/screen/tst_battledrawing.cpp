// The map layer, the unit layer, the panel and the clock, by pixel probes.

#include "../battle/BattleKit.h"
#include "SyntheticPictures.h"
#include "data/GameTypes.h"

#include <QtTest>

using namespace modStrat;

class BattleDrawingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void tilesThenBuildings();
    void halos();
    void unitsByOwnerStateAndFacing();
    void carriedUnitsAndTheFireRangeTint();
    void panelOnlyWithTheInfoBox();
    void clockEveryFrameAndUnitsAboveTheMap();

private:
    QRgb at(int x, int y) const { return kit->game->surface.image().pixel(x, y) & 0xFFFFFF; }
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
    int city = 0;
    int emptySlot = 0;
    int tank = 0, recon = 0, infantry = 0, yellow = 0;
};

void BattleDrawingTest::init()
{
    kit = std::make_unique<BattleKit>();
    store = syntheticStore();
    MapBuilder map(10, 8, 0);
    map.tile(1, 1, 23);
    city = map.building(BuildingType::City[2], 2, 4, 4);
    emptySlot = map.building(None, 0, 5, 4);
    tank = map.unit(UnitType::HeavyTank, 1, 2, 3);
    recon = map.unit(UnitType::Recon, 2, 6, 3);
    infantry = map.unit(UnitType::Infantry, 3, 4, 4);
    yellow = map.unit(UnitType::Rover, 4, 8, 6);
    QVERIFY(kit->start(map, 4));
    kit->game->setPictures(&store);
    kit->game->CursorShown = false;
}

void BattleDrawingTest::tilesThenBuildings()
{
    Tiles[1 * 10 + 3].Terrain = 80;
    redraw();
    const TileRecord& ground = Tiles[1 * 10 + 2];
    QCOMPARE(at(ground.X + 1, ground.Y + 1), terrainColour(23) & 0xFFFFFF);
    QCOMPARE(at(Tiles[1].X, Tiles[1].Y), terrainColour(0) & 0xFFFFFF);
    // Terrain without a picture leaves the cleared surface.
    const TileRecord& unknown = Tiles[1 * 10 + 3];
    QCOMPARE(at(unknown.X + 3, unknown.Y + 3), QRgb(0));
    // A building replaces its tile; an empty slot shows the tile beneath.
    QCOMPARE(at(Buildings[city].X + 1, Buildings[city].Y + 1), buildingColour(BuildingType::City[2]) & 0xFFFFFF);
    QCOMPARE(at(Buildings[emptySlot].X + 1, Buildings[emptySlot].Y + 1), terrainColour(0) & 0xFFFFFF);
}

void BattleDrawingTest::halos()
{
    frmGame& game = *kit->game;
    const TileRecord& spot = Tiles[5];
    game.CursorShown = true;
    game.CursorX = spot.X;
    game.CursorY = static_cast<std::int16_t>(spot.Y - 2);
    redraw();
    QCOMPARE(at(spot.X + 1, spot.Y - 1), qRgb(250, 250, 250) & 0xFFFFFF);
    QCOMPARE(at(spot.X + 5, spot.Y + 5), terrainColour(0) & 0xFFFFFF);  // marks only at the corners

    // Both halos in one place: the cursor's is painted last.
    game.TargetShown = true;
    game.TargetX = game.CursorX;
    game.TargetY = game.CursorY;
    redraw();
    QCOMPARE(at(spot.X + 1, spot.Y - 1), qRgb(250, 250, 250) & 0xFFFFFF);

    // No cursor halo while a unit is selected; the target halo stays.
    SelectedUnit = static_cast<std::int16_t>(tank);
    redraw();
    QCOMPARE(at(spot.X + 1, spot.Y - 1), qRgb(255, 0, 0) & 0xFFFFFF);
}

void BattleDrawingTest::unitsByOwnerStateAndFacing()
{
    frmGame& game = *kit->game;
    redraw();
    QCOMPARE(unitPixel(tank), rightColour(1, UnitType::HeavyTank) & 0xFFFFFF);
    QCOMPARE(unitPixel(recon), leftColour(2, UnitType::Recon) & 0xFFFFFF);
    QCOMPARE(unitPixel(infantry), rightColour(3, UnitType::Infantry) & 0xFFFFFF);  // over the city
    QCOMPARE(unitPixel(yellow), leftColour(4, UnitType::Rover) & 0xFFFFFF);
    // Outside the sprite's block the map shows through the mask.
    QCOMPARE(at(Units[tank].X + 1, Units[tank].Y + 20), terrainColour(0) & 0xFFFFFF);

    // Units that have acted are grey, facing their owner's way.
    Units[tank].E = false;
    Units[recon].E = false;
    redraw();
    QCOMPARE(unitPixel(tank), DoneRight & 0xFFFFFF);
    QCOMPARE(unitPixel(recon), DoneLeft & 0xFFFFFF);

    // A ready selected unit: the green halo in pass 1, its turned sprite in pass 2.
    Units[yellow].SEL = true;
    SelectedUnit = static_cast<std::int16_t>(yellow);
    game.MoveFacing = 3;
    redraw();
    QCOMPARE(unitPixel(yellow), rightColour(4, UnitType::Rover) & 0xFFFFFF);
    QCOMPARE(at(Units[yellow].X + 1, Units[yellow].Y + 1), qRgb(0, 255, 0) & 0xFFFFFF);
    game.MoveFacing = 1;
    redraw();
    QCOMPARE(unitPixel(yellow), TempColour & 0xFFFFFF);
    game.MoveFacing = 7;  // no such facing: no sprite, the halo shows alone
    redraw();
    QCOMPARE(unitPixel(yellow), terrainColour(0) & 0xFFFFFF);
}

void BattleDrawingTest::carriedUnitsAndTheFireRangeTint()
{
    Units[recon].HIDDEN = true;
    redraw();
    QCOMPARE(unitPixel(recon), terrainColour(0) & 0xFFFFFF);
    Units[recon].SEL = true;
    kit->game->MoveFacing = 2;
    redraw();
    QCOMPARE(unitPixel(recon), leftColour(2, UnitType::Recon) & 0xFFFFFF);

    // The tint sets red to 255 over everything in the cell, the unit included.
    const int tile = (Units[tank].Y + 2 - MapTop) / 25 * 10 + (Units[tank].X - MapLeft) / 25 + 1;
    Tiles[tile].Highlight = true;
    redraw();
    const QRgb sprite = rightColour(1, UnitType::HeavyTank);
    QCOMPARE(unitPixel(tank), qRgb(255, qGreen(sprite), qBlue(sprite)) & 0xFFFFFF);
}

void BattleDrawingTest::panelOnlyWithTheInfoBox()
{
    frmGame& game = *kit->game;
    game.MenuItems[1].Visible = true;
    game.MenuItems[1].X = 300;
    game.MenuItems[1].Y = game.PanelTop + 20;
    game.MenuActive = true;
    game.MenuHighlight = 0;
    game.surface.clear();
    game.DrawMenu();
    QCOMPARE(at(400, game.PanelTop + 50), QRgb(0));
    QCOMPARE(at(300 - 24 + 2, game.PanelTop + 22), QRgb(0));

    game.InfoUnit = infantry;
    game.UnitBoxShown = true;
    game.surface.clear();
    game.DrawMenu();
    QCOMPARE(at(400, game.PanelTop + 50), qRgb(120, 110, 185) & 0xFFFFFF);
    QCOMPARE(at(game.UnitBoxLeft + 2, game.UnitBoxTop + 2), qRgb(255, 255, 254) & 0xFFFFFF);
    // The described unit's sprite, in its owner's colours, 5 pixels into the box.
    QCOMPARE(at(game.UnitBoxLeft + 5 + 12, game.UnitBoxTop + 5 + 12),
             rightColour(3, UnitType::Infantry) & 0xFFFFFF);
    // The pointer's right edge 5 pixels left of the entry.
    QCOMPARE(at(300 - 24, game.PanelTop + 20), qRgb(123, 222, 123) & 0xFFFFFF);
    QCOMPARE(at(300 - 5, game.PanelTop + 20), qRgb(120, 110, 185) & 0xFFFFFF);

    // With a unit selected the box shows that unit's sprite.
    SelectedUnit = static_cast<std::int16_t>(recon);
    game.surface.clear();
    game.DrawMenu();
    QCOMPARE(at(game.UnitBoxLeft + 5 + 12, game.UnitBoxTop + 5 + 12), leftColour(2, UnitType::Recon) & 0xFFFFFF);
}

void BattleDrawingTest::clockEveryFrameAndUnitsAboveTheMap()
{
    frmGame& game = *kit->game;
    MyPlayer = 2;  // another player's turn: the clock is still drawn
    game.RunFrame();
    QCOMPARE(at(704 + 3, 408 + 70), qRgb(137, 137, 137) & 0xFFFFFF);
    QCOMPARE(unitPixel(infantry), rightColour(3, UnitType::Infantry) & 0xFFFFFF);
}

QTEST_MAIN(BattleDrawingTest)
#include "tst_battledrawing.moc"
