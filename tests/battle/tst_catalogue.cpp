// The unit catalogue, terrain defence and building colours.

#include "BattleKit.h"
#include "data/GameTypes.h"

#include <QtTest>

using namespace modStrat;

class CatalogueTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void namesAndCodes();
    void prices();
    void rangeRefillsMovesAndKeepsUnknownUnits();
    void suppliesAndTheTwoSpellings();
    void airUnitsByTypeCode();
    void terrainDefence_data();
    void terrainDefence();
    void buildingsShelterUnits();
    void neutralColours();
};

void CatalogueTest::namesAndCodes()
{
    for (int code = UnitType::First; code <= UnitType::Last; ++code)
        QCOMPARE(frmGame::GetPictureNum(frmGame::GetUnitName(code)), code);
    QCOMPARE(frmGame::GetUnitName(0), QStringLiteral("Null"));
    QCOMPARE(frmGame::GetUnitName(16), QStringLiteral("Null"));
    QCOMPARE(frmGame::GetUnitName(999), QStringLiteral("Null"));
    QCOMPARE(frmGame::GetUnitName(12), QStringLiteral("Infantry"));
    QCOMPARE(frmGame::GetPictureNum(QStringLiteral("Turret")), 8);
    QCOMPARE(frmGame::GetPictureNum(QStringLiteral("Mobile Turret")), 8);
    QCOMPARE(frmGame::GetPictureNum(QStringLiteral("Hover Tank")), 15);
    QCOMPARE(frmGame::GetPictureNum(QStringLiteral("Hover Tank Ground")), 15);
    QCOMPARE(frmGame::GetPictureNum(QStringLiteral("Null")), None);
    QCOMPARE(frmGame::GetPictureNum(QStringLiteral("infantry")), None);
    QCOMPARE(frmGame::GetPictureNum(QStringLiteral("Infantry ")), None);
}

void CatalogueTest::prices()
{
    QCOMPARE(frmGame::GetUnitCost(QStringLiteral("Fighter")), 1600);
    QCOMPARE(frmGame::GetUnitCost(QStringLiteral("Battle Cruiser")), 2500);
    QCOMPARE(frmGame::GetUnitCost(QStringLiteral("Fixed Turret")), 900);
    QCOMPARE(frmGame::GetUnitCost(QStringLiteral("Hover Tank Air")), 1200);
    QCOMPARE(frmGame::GetUnitCost(QStringLiteral("Turret")), 0);
    QCOMPARE(frmGame::GetUnitCost(QStringLiteral("Grunt")), 0);
}

void CatalogueTest::rangeRefillsMovesAndKeepsUnknownUnits()
{
    BattleKit kit;
    frmGame& game = *kit.game;
    UnitRecord& unit = Units[4];
    unit.Moves = 0;
    game.SetUnitRange(QStringLiteral("Infantry"), 4);
    QCOMPARE(unit.Moves, 3);
    QCOMPARE(unit.RangeGround, 1);
    QCOMPARE(unit.RangeAir, 1);
    QCOMPARE(unit.MoveCost5, 1);

    game.SetUnitRange(QStringLiteral("Fixed Turret"), 4);
    QCOMPARE(unit.Moves, 0);
    QCOMPARE(unit.MoveCost1 + unit.MoveCost2 + unit.MoveCost3 + unit.MoveCost4 + unit.MoveCost5, 0);
    QCOMPARE(unit.RangeGround, 4);
    QCOMPARE(unit.RangeAir, 3);

    game.SetUnitRange(QStringLiteral("Battle Cruiser"), 4);
    QCOMPARE(unit.Moves, 4);
    QCOMPARE(unit.MoveCost3, 1);
    QCOMPARE(unit.MoveCost4, 2);

    unit.Moves = 1;
    game.SetUnitRange(QStringLiteral("Null"), 4);
    QCOMPARE(unit.Moves, 1);
    QCOMPARE(unit.RangeGround, 2);
    // The path memory belongs to selection, not to this refill.
    game.PathLength = 4;
    game.SetUnitRange(QStringLiteral("Recon"), 4);
    QCOMPARE(game.PathLength, 4);
    // Slots outside the table are left alone.
    game.SetUnitRange(QStringLiteral("Recon"), 999);
    game.SetUnitFuelAndAmmo(QStringLiteral("Recon"), 0);
}

void CatalogueTest::suppliesAndTheTwoSpellings()
{
    BattleKit kit;
    frmGame& game = *kit.game;
    UnitRecord& unit = Units[1];
    game.SetUnitFuelAndAmmo(QStringLiteral("Battle Cruiser"), 1);
    QCOMPARE(int(unit.FUEL), 120);
    QCOMPARE(int(unit.AMMO), 8);
    game.SetUnitFuelAndAmmo(QStringLiteral("Transport"), 1);
    QCOMPARE(int(unit.AMMO), 0);
    game.SetUnitFuelAndAmmo(QStringLiteral("Shuttle"), 1);
    QCOMPARE(int(unit.FUEL), 65);
    QCOMPARE(int(unit.AMMO), 0);
    game.SetUnitFuelAndAmmo(QStringLiteral("Mammoth Beast"), 1);
    QCOMPARE(int(unit.FUEL), 50);
    QCOMPARE(int(unit.AMMO), 10);
    // Each table answers only to its own spelling.
    game.SetUnitFuelAndAmmo(QStringLiteral("Mammoth Brute"), 1);
    unit.FUEL = 1;
    game.SetUnitFuelAndAmmo(QStringLiteral("Mammoth Brute"), 1);
    QCOMPARE(int(unit.FUEL), 1);
    unit.Moves = 0;
    game.SetUnitRange(QStringLiteral("Mammoth Beast"), 1);
    QCOMPARE(unit.Moves, 0);
    game.SetUnitRange(QStringLiteral("Mammoth Brute"), 1);
    QCOMPARE(unit.Moves, 5);
}

void CatalogueTest::airUnitsByTypeCode()
{
    QList<int> air;
    for (int code = 0; code <= 16; ++code) {
        if (frmGame::IsAirType(code))
            air << code;
    }
    QCOMPARE(air, QList<int>({3, 4, 5, 7, 9, 11}));
}

void CatalogueTest::terrainDefence_data()
{
    QTest::addColumn<int>("terrain");
    QTest::addColumn<int>("defence");
    QTest::newRow("floor") << 0 << 1;
    QTest::newRow("space") << 9 << 1;
    QTest::newRow("raised") << 10 << 3;
    QTest::newRow("ramp 18 is high ground") << 18 << 3;
    QTest::newRow("other ramps") << 36 << 2;
    QTest::newRow("ramp 60") << 60 << 2;
    QTest::newRow("37") << 37 << 2;
    QTest::newRow("42 breaks the run") << 42 << 1;
    QTest::newRow("43") << 43 << 1;
    QTest::newRow("44") << 44 << 2;
    QTest::newRow("47") << 47 << 2;
    QTest::newRow("48") << 48 << 1;
    QTest::newRow("61") << 61 << 3;
    QTest::newRow("64") << 64 << 3;
    QTest::newRow("65") << 65 << 1;
    QTest::newRow("beyond the codes") << 71 << 1;
}

void CatalogueTest::terrainDefence()
{
    QFETCH(int, terrain);
    QFETCH(int, defence);
    BattleKit kit;
    Tiles[3].Terrain = static_cast<std::int16_t>(terrain);
    QCOMPARE(frmGame::GetTileDefense(3), defence);
}

void CatalogueTest::buildingsShelterUnits()
{
    BattleKit kit;
    MapBuilder map(6, 4, 10);  // all raised plates: class 3
    const int onCity = map.unit(UnitType::Infantry, 1, 2, 1);
    const int onTile1 = map.unit(UnitType::Infantry, 1, 0, 0);
    const int inOpen = map.unit(UnitType::Infantry, 1, 4, 2);
    map.building(BuildingType::City[1], 1, 2, 1);
    // A freed building slot keeps a position; the map file stores it at the corner.
    map.building(None, 0, 0, 0);
    QVERIFY(kit.start(map));
    QCOMPARE(frmGame::GetUnitDefense(onCity), 2);
    QCOMPARE(frmGame::GetUnitDefense(onTile1), 3);
    QCOMPARE(frmGame::GetUnitDefense(inOpen), 3);
    Units[inOpen].X = -500;  // off the map: plain ground
    QCOMPARE(frmGame::GetUnitDefense(inOpen), 1);
}

void CatalogueTest::neutralColours()
{
    BattleKit kit;
    const QList<QPair<int, int>> cases = {
        {2, 0}, {3, 0}, {4, 0}, {5, 0}, {12, 0}, {13, 0}, {16, 0}, {17, 0},
        {6, 1}, {7, 1}, {14, 1}, {18, 1},
        {10, 9}, {11, 9}, {15, 9}, {19, 9},
        {0, 0}, {1, 1}, {8, 8}, {9, 9}, {None, None}};
    for (const auto& [before, after] : cases) {
        Buildings[7].PIC = before;
        Buildings[7].P = 3;
        frmGame::ChangeBuildingToNull(7);
        QCOMPARE(Buildings[7].PIC, after);
        QCOMPARE(Buildings[7].P, 3);
    }
    frmGame::ChangeBuildingToNull(999);
}

QTEST_MAIN(CatalogueTest)
#include "tst_catalogue.moc"
