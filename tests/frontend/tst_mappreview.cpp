// The map preview: tiles and buildings in 10-pixel cells from the picture store.

#include "../screen/SyntheticPictures.h"
#include "FrontendKit.h"
#include "frontend/MapPreview.h"
#include "platform/Ini.h"

#include <QtTest>

namespace {

// The middle pixel of cell (column, row).
QRgb cell(const MapPreview& preview, int column, int row)
{
    const QPoint at = MapPreview::origin() + QPoint(MapPreview::Cell * column + 5, MapPreview::Cell * row + 5);
    return preview.image().pixel(at) & 0xFFFFFF;
}

QRgb rgb(QRgb colour) { return colour & 0xFFFFFF; }

}  // namespace

class MapPreviewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tilesAndBuildingsLandOnTheirCells()
    {
        FrontendFolder folder;
        const PictureStore store = syntheticStore();
        MapPreview preview(store);
        MapBuilder map(25, 16, 0);
        map.tile(0, 1, 30);                            // tile 26: first cell of the second row
        map.tile(24, 15, 5);                           // the last tile
        map.building(BuildingType::City[2], 2, 2, 3);  // BLEFT 50, BTOP 75
        map.unit(UnitType::Infantry, 1, 4, 4);         // units are never shown
        QVERIFY(preview.showMap(folder.writeMap(map, QStringLiteral("wide.spw"))).drawable);
        QCOMPARE(cell(preview, 0, 1), rgb(terrainColour(30)));
        QCOMPARE(cell(preview, 24, 15), rgb(terrainColour(5)));
        QCOMPARE(cell(preview, 4, 4), rgb(terrainColour(0)));
        // Cells are exactly 10 pixels: the building's cell ends where the next tile's begins.
        const QPoint origin = MapPreview::origin();
        QCOMPARE(origin, QPoint(8, 8));
        const QPoint building = origin + QPoint(20, 30);
        QCOMPARE(rgb(preview.image().pixel(building)), rgb(buildingColour(BuildingType::City[2])));
        QCOMPARE(rgb(preview.image().pixel(building + QPoint(9, 9))), rgb(buildingColour(BuildingType::City[2])));
        QCOMPARE(rgb(preview.image().pixel(building + QPoint(10, 0))), rgb(terrainColour(0)));
        // Beyond the map: the 270 x 225 black background in a border 8 pixels wide;
        // past the border the window shows through.
        QCOMPARE(rgb(preview.image().pixel(origin + QPoint(269, 224))), rgb(qRgb(0, 0, 0)));
        QCOMPARE(rgb(preview.image().pixel(origin + QPoint(270, 224))), rgb(qRgb(64, 64, 64)));
        QCOMPARE(rgb(preview.image().pixel(0, 0)), rgb(qRgb(64, 64, 64)));
        QCOMPARE(qAlpha(preview.image().pixel(origin + QPoint(278, 0))), 0);
        // Cells run on past the background: 600 tiles in 40 columns.
        preview.showMap(folder.writeMap(MapBuilder(40, 15, 7), QStringLiteral("widest.spw")));
        QCOMPARE(cell(preview, 39, 14), rgb(terrainColour(7)));
    }

    void aNewMapLeavesNothingOfTheLastOne()
    {
        FrontendFolder folder;
        const PictureStore store = syntheticStore();
        MapPreview preview(store);
        MapBuilder large(25, 16, 3);
        large.building(BuildingType::Factory[1], 1, 10, 10);
        preview.showMap(folder.writeMap(large, QStringLiteral("large.spw")));
        QCOMPARE(cell(preview, 10, 10), rgb(buildingColour(BuildingType::Factory[1])));
        const QString small = folder.writeMap(MapBuilder(5, 4, 4), QStringLiteral("small.spw"));
        preview.showMap(small);
        QCOMPARE(cell(preview, 4, 3), rgb(terrainColour(4)));
        QCOMPARE(cell(preview, 5, 0), rgb(qRgb(0, 0, 0)));
        QCOMPARE(cell(preview, 10, 10), rgb(qRgb(0, 0, 0)));
        // Unknown and unreadable terrain is open space; a building type with no picture draws nothing.
        for (const auto& [key, value] : {std::pair{"T1", "500"}, {"T2", "x"}, {"BT1", "25"}, {"BLEFT1", "0"}, {"BTOP1", "0"}})
            platform::iniWrite(QStringLiteral("GEN"), QLatin1String(key), QLatin1String(value), small);
        preview.showMap(small);
        QCOMPARE(cell(preview, 0, 0), rgb(terrainColour(SpaceTerrain)));
        QCOMPARE(cell(preview, 1, 0), rgb(terrainColour(SpaceTerrain)));
    }

    void headerAndUnusableMaps()
    {
        FrontendFolder folder;
        const PictureStore store = syntheticStore();
        MapPreview preview(store);
        const MapPreviewInfo duel = preview.showMap(folder.writeDuel());
        QCOMPARE(duel.name, QStringLiteral("Duel"));
        QCOMPARE(duel.description, QStringLiteral("Two bases <b>face</b> each other."));
        QCOMPARE(duel.players, std::optional<std::int16_t>(2));
        // A size the battle refuses draws nothing, and a huge one returns at once.
        const QString odd = folder.writeMap(MapBuilder(5, 4, 4), QStringLiteral("odd.spw"));
        for (const char* size : {"32767", "-5"}) {
            platform::iniWrite(QStringLiteral("GEN"), QStringLiteral("XMAX"), QLatin1String(size), odd);
            platform::iniWrite(QStringLiteral("GEN"), QStringLiteral("YMAX"), QLatin1String(size), odd);
            const MapPreviewInfo info = preview.showMap(odd);
            QVERIFY(info.found && !info.drawable);
            QCOMPARE(cell(preview, 0, 0), rgb(qRgb(0, 0, 0)));
        }
        const MapPreviewInfo missing = preview.showMap(folder.path(QStringLiteral("nothing.spw")));
        QVERIFY(!missing.found && !missing.drawable && missing.name.isEmpty() && !missing.players);
    }
};

QTEST_MAIN(MapPreviewTest)
#include "tst_mappreview.moc"
