// The map editor by mouse and keys: the canvas, the pages and palettes, the size and the whole-map commands.

#include "EditorKit.h"

#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>

using platform::MessageResult;
using platform::dialogScript::pushMessageResult;
using platform::dialogScript::shown;

namespace {

template <typename Table>
QList<int> valuesOf(const Table& table)
{
    return QList<int>(table.begin(), table.end());
}

QList<int> pieces(const mapfile::MapDocument& map)
{
    return valuesOf(map.EdUnitType) + valuesOf(map.EdBuildingType) + valuesOf(map.EdHQ);
}

}  // namespace

class EditorTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { store = syntheticStore(); }
    void init()
    {
        folder.reset();
        folder = std::make_unique<FrontendFolder>();
    }
    void opensEmptyEveryTime();
    void terrain_data();
    void terrain();
    void headquartersRule();
    void unitsTakeTheLowestFreeSlot();
    void nothingPlaced_data();
    void nothingPlaced();
    void pageSwitch_data();
    void pageSwitch();
    void ownerChoicesKeepThePick();
    void newAndFill_data();
    void newAndFill();
    void applySize_data();
    void applySize();
    void exitAsksFirst();
    void dayMessagesAndPlayers();

private:
    PictureStore store;
    std::unique_ptr<FrontendFolder> folder;
};

void EditorTest::opensEmptyEveryTime()
{
    EditorKit kit(store);
    const auto checkEmpty = [&] {
        QCOMPARE(kit.map().MapWidth, 25);
        QCOMPARE(kit.map().MapHeight, 16);
        QCOMPARE(kit.map().TileCount, 400);
        for (int i = 1; i <= 400; ++i)
            QCOMPARE(kit.map().EdTile[i], 9);
        QCOMPARE(pieces(kit.map()), QList<int>(154, None));
        QCOMPARE(kit.canvas().size(), QSize(625, 400));
        QCOMPARE(kit.pixel(EditorKit::centre(24, 15)), terrainColour(9) & 0xFFFFFF);
        QCOMPARE(kit.tools().txtSizeX->text(), QStringLiteral("25"));
        QCOMPARE(kit.tools().txtSizeY->text(), QStringLiteral("16"));
        QVERIFY(kit.tools().isVisible());
    };
    checkEmpty();
    QCOMPARE(kit.editor.canvasWindow().windowTitle(), QStringLiteral("Vesperfall - Level Editor"));

    kit.type(kit.tools().txtSizeX, QStringLiteral("8"));
    kit.tools().cmdApply->click();
    kit.building(0, BuildingType::NeutralCity);
    kit.click(1, 1);
    kit.type(kit.tools().txtMapName, QStringLiteral("Kept"));
    // Closing the canvas closes the editor; it opens again empty, at 25 x 16, its settings kept.
    kit.editor.canvasWindow().close();
    QVERIFY(!kit.tools().isVisible());
    kit.editor.open();
    checkEmpty();
    QCOMPARE(kit.map().Name, QStringLiteral("Kept"));
}

void EditorTest::terrain_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QList<QPoint>>("path");   // one tile: a click; more: a right-button drag
    QTest::addColumn<QList<QPoint>>("painted");
    const QList<QPoint> row{{1, 1}, {2, 1}, {3, 1}};
    QTest::newRow("click") << "terrain" << QList<QPoint>{{3, 2}} << QList<QPoint>{{3, 2}};
    QTest::newRow("drag, start tile too") << "terrain" << QList<QPoint>{{1, 1}, {2, 1}, {2, 2}}
                                          << QList<QPoint>{{1, 1}, {2, 1}, {2, 2}};
    QTest::newRow("drag past a building") << "building under (2,1)" << row << QList<QPoint>{{1, 1}, {3, 1}};
    QTest::newRow("drag in unit mode") << "units" << row << QList<QPoint>{};
    QTest::newRow("drag in building mode") << "buildings" << row << QList<QPoint>{};
}

void EditorTest::terrain()
{
    QFETCH(QString, mode);
    QFETCH(QList<QPoint>, path);
    QFETCH(QList<QPoint>, painted);
    EditorKit kit(store);
    if (mode.startsWith(QLatin1String("building under"))) {
        kit.building(0, BuildingType::NeutralCity);
        kit.click(2, 1);
    }
    kit.terrain(30);
    if (mode == QLatin1String("units"))
        kit.tools().mnuUnits->trigger();
    if (mode == QLatin1String("buildings"))
        kit.tools().mnuBuildings->trigger();
    if (path.size() == 1)
        kit.click(path[0].x(), path[0].y());
    else
        kit.drag(path);

    for (int row = 0; row < 16; ++row) {
        for (int column = 0; column < 25; ++column) {
            const int expected = painted.contains(QPoint(column, row)) ? 30 : 9;
            QCOMPARE(kit.map().EdTile[kit.tile(column, row)], expected);
        }
    }
    for (const QPoint& t : painted)
        QCOMPARE(kit.pixel(EditorKit::centre(t.x(), t.y())), terrainColour(30) & 0xFFFFFF);
}

void EditorTest::headquartersRule()
{
    EditorKit kit(store);
    kit.building(1, BuildingType::Headquarters[1]);
    kit.click(0, 0);
    QCOMPARE(kit.map().EdHQ[1], 1);
    // A second headquarters replaces the first, which leaves the map.
    kit.click(1, 0);
    QCOMPARE(kit.map().EdHQ[1], 2);
    QCOMPARE(kit.map().EdBuildingType[1], None);
    QCOMPARE(kit.pixel(EditorKit::centre(0, 0)), terrainColour(9) & 0xFFFFFF);
    QCOMPARE(kit.pixel(EditorKit::centre(1, 0)), buildingColour(2) & 0xFFFFFF);

    // Player 3's headquarters picture placed for player 1: an ordinary building.
    kit.building(3, BuildingType::Headquarters[3]);
    QTest::mouseClick(kit.tools().opBPlayer[1], Qt::LeftButton, {}, QPoint(5, 5));
    kit.click(2, 0);
    QCOMPARE(kit.map().EdBuildingType[1], BuildingType::Headquarters[3]);
    QCOMPARE(kit.map().EdBuildingPlayer[1], 1);
    QCOMPARE(kit.map().EdBuildingTop[1], 0);
    QCOMPARE(kit.map().EdBuildingLeft[1], 50);
    QCOMPARE(kit.map().EdHQ[1], 2);
    QCOMPARE(kit.map().EdHQ[3], None);

    // Removing the headquarters building takes the headquarters with it.
    kit.click(1, 0, Qt::RightButton);
    QCOMPARE(kit.map().EdBuildingType[2], None);
    QCOMPARE(kit.map().EdHQ[1], None);
}

void EditorTest::unitsTakeTheLowestFreeSlot()
{
    EditorKit kit(store);
    kit.unit(1, UnitType::Infantry);
    for (int column = 0; column < 3; ++column)
        kit.click(column, 0);
    QCOMPARE(kit.unitsInUse(), 3);
    QCOMPARE(kit.map().EdUnitTop[1], -2);
    kit.click(1, 0, Qt::RightButton);
    QCOMPARE(kit.map().EdUnitType[2], None);
    QCOMPARE(kit.map().EdUnitPlayer[2], 1);   // the freed slot keeps its owner

    kit.unit(2, UnitType::HeavyTank);
    kit.click(4, 4);
    QCOMPARE(kit.map().EdUnitType[2], UnitType::HeavyTank);
    QCOMPARE(kit.map().EdUnitPlayer[2], 2);
    QCOMPARE(kit.map().EdUnitLeft[2], 100);
    QCOMPARE(kit.map().EdUnitTop[2], 98);
    // Player 2 faces left in its own colour, 2 pixels above the tile.
    QCOMPARE(kit.pixel(EditorKit::centre(4, 4) - QPoint(0, 2)), leftColour(2, UnitType::HeavyTank) & 0xFFFFFF);
}

void EditorTest::nothingPlaced_data()
{
    QTest::addColumn<QString>("setup");
    QTest::newRow("full unit table") << "full units";
    QTest::newRow("full building table") << "full buildings";
    QTest::newRow("neutral unit owner") << "neutral";
    QTest::newRow("no unit picked") << "no pick";
}

void EditorTest::nothingPlaced()
{
    QFETCH(QString, setup);
    EditorKit kit(store);
    if (setup == QLatin1String("full units")) {
        kit.map().EdUnitType.fill(UnitType::Recon);
        kit.unit(1, UnitType::Infantry);
    } else if (setup == QLatin1String("full buildings")) {
        kit.map().EdBuildingType.fill(BuildingType::NeutralCity);
        kit.map().EdHQ[1] = 5;
        kit.building(1, BuildingType::Headquarters[1]);
    } else if (setup == QLatin1String("neutral")) {
        kit.unit(1, UnitType::Infantry);
        QTest::mouseClick(kit.tools().opPlayer[4], Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(kit.tools().imgUnit->items().empty());
    } else {
        kit.tools().mnuUnits->trigger();
    }
    const QList<int> before = pieces(kit.map());
    kit.click(3, 3);
    QCOMPARE(pieces(kit.map()), before);
}

void EditorTest::pageSwitch_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("unitsShown");   // the units were hidden by the tile page before
    QTest::newRow("General Options") << "&General Options" << 0 << 0 << false;
    QTest::newRow("Platform Tileset") << "&Platform Tileset" << 1 << 1 << false;
    QTest::newRow("Units") << "&Units" << 2 << 2 << true;
    QTest::newRow("Buildings") << "&Buildings" << 3 << 3 << false;
    QTest::newRow("Single Player") << "&Single Player" << 0 << 4 << false;
}

void EditorTest::pageSwitch()
{
    QFETCH(QString, entry);
    QFETCH(int, mode);
    QFETCH(int, page);
    QFETCH(bool, unitsShown);
    EditorKit kit(store);
    kit.unit(1, UnitType::Infantry);
    kit.click(3, 3);
    QCOMPARE(kit.ed().hitAt(EditorKit::centre(3, 3)).kind, CanvasHit::Unit);
    kit.terrain(30);
    QCOMPARE(kit.ed().hitAt(EditorKit::centre(3, 3)).kind, CanvasHit::Tile);

    QAction* action = nullptr;
    for (QAction* a : {kit.tools().mnuOptions, kit.tools().mnuPlatform, kit.tools().mnuUnits,
                       kit.tools().mnuBuildings, kit.tools().mnuSinglePlayer})
        action = a->text() == entry ? a : action;
    QVERIFY(action);
    action->trigger();
    QCOMPARE(kit.ed().EdSelected, 0);
    QCOMPARE(int(kit.ed().EdMode), mode);
    QCOMPARE(kit.tools().pages->currentIndex(), page);
    QCOMPARE(kit.ed().unitVisible(1), unitsShown);
    QCOMPARE(kit.pixel(EditorKit::centre(3, 3) - QPoint(0, 2)) == (rightColour(1, UnitType::Infantry) & 0xFFFFFF),
             unitsShown);
}

void EditorTest::ownerChoicesKeepThePick()
{
    EditorKit kit(store);
    kit.building(1, BuildingType::Factory[1]);
    QTest::mouseClick(kit.tools().opBPlayer[2], Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(kit.ed().EdSelected, BuildingType::Factory[1]);
    QList<int> shownCodes;
    for (const PaletteView::Item& item : kit.tools().imgBuilding->items())
        shownCodes << item.place.code;
    QCOMPARE(shownCodes, QList<int>({3, 5, 7, 11}));
    kit.click(5, 5);
    QCOMPARE(kit.map().EdBuildingType[1], BuildingType::Factory[1]);
    QCOMPARE(kit.map().EdBuildingPlayer[1], 2);

    // The tile page's background clears the pick and keeps the mode.
    kit.terrain(30);
    QTest::mouseClick(kit.tools().picPlat, Qt::LeftButton, {}, QPoint(400, 330));
    QCOMPARE(kit.ed().EdSelected, 0);
    QCOMPARE(int(kit.ed().EdMode), int(EditMode::Terrain));
}

void EditorTest::newAndFill_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("terrain");   // every tile afterwards
    QTest::addColumn<bool>("piecesKept");
    QTest::newRow("New, Yes") << int(Qt::Key_N) << true << 0 << false;
    QTest::newRow("New, No") << int(Qt::Key_N) << false << 9 << true;
    QTest::newRow("Fill, Yes") << int(Qt::Key_F) << true << 18 << true;
    QTest::newRow("Fill, No") << int(Qt::Key_F) << false << 9 << true;
}

void EditorTest::newAndFill()
{
    QFETCH(int, key);
    QFETCH(bool, yes);
    QFETCH(int, terrain);
    QFETCH(bool, piecesKept);
    EditorKit kit(store);
    kit.type(kit.tools().txtSizeX, QStringLiteral("30"));
    kit.type(kit.tools().txtSizeY, QStringLiteral("20"));
    kit.tools().cmdApply->click();
    kit.building(1, BuildingType::Headquarters[1]);
    kit.click(29, 19);
    kit.unit(1, UnitType::Infantry);
    kit.click(0, 0);
    kit.terrain(18);
    const QList<int> before = pieces(kit.map());

    platform::dialogScript::clear();
    pushMessageResult(yes ? MessageResult::Yes : MessageResult::No);
    QApplication::setActiveWindow(&kit.tools());
    QTest::keyClick(&kit.tools(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(shown(), QStringList{key == Qt::Key_N ? frmOptions::NewQuestion : frmOptions::FillQuestion});
    for (int i = 1; i <= 600; ++i)
        QCOMPARE(kit.map().EdTile[i], terrain);
    QCOMPARE(pieces(kit.map()) == before, piecesKept);
    if (!piecesKept)
        QCOMPARE(pieces(kit.map()), QList<int>(154, None));
    QCOMPARE(kit.map().Name, QStringLiteral("Untitled"));
}

void EditorTest::applySize_data()
{
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<QString>("message");   // empty: none
    QTest::addColumn<QSize>("size");        // tiles after Apply
    QTest::addColumn<bool>("unitKept");     // the unit at column 20, row 12
    QTest::newRow("30 x 20") << "30" << "20" << QString() << QSize(30, 20) << true;
    QTest::newRow("25 x 25 warns") << "25" << "25" << frmOptions::NotPlayable << QSize(25, 25) << true;
    QTest::newRow("10 x 10 frees what is off it") << "10" << "10" << QString() << QSize(10, 10) << false;
    QTest::newRow("0 wide") << "0" << "5" << frmOptions::BadSize << QSize(25, 16) << true;
    QTest::newRow("letters") << "ab" << "5" << frmOptions::BadSize << QSize(25, 16) << true;
    QTest::newRow("empty") << "" << "5" << frmOptions::BadSize << QSize(25, 16) << true;
    QTest::newRow("over 750 tiles") << "30" << "26" << frmOptions::TooManyTiles << QSize(25, 16) << true;
}

void EditorTest::applySize()
{
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(QString, message);
    QFETCH(QSize, size);
    QFETCH(bool, unitKept);
    EditorKit kit(store);
    kit.unit(1, UnitType::Infantry);
    kit.click(20, 12);
    kit.terrain(30);
    kit.click(1, 1);
    kit.type(kit.tools().txtSizeX, x);
    kit.type(kit.tools().txtSizeY, y);
    kit.tools().cmdApply->click();

    QCOMPARE(shown(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(QSize(kit.map().MapWidth, kit.map().MapHeight), size);
    QCOMPARE(kit.map().TileCount, size.width() * size.height());
    QCOMPARE(kit.canvas().size(), size * 25);
    const bool applied = message.isEmpty() || message == frmOptions::NotPlayable;
    QCOMPARE(kit.map().EdTile[kit.tile(1, 1)], applied ? 9 : 30);
    QCOMPARE(kit.map().EdUnitType[1] != None, unitKept);
}

void EditorTest::exitAsksFirst()
{
    EditorKit kit(store);
    QSignalSpy exits(&kit.editor, &MapEditor::exitRequested);
    QApplication::setActiveWindow(&kit.tools());
    pushMessageResult(MessageResult::No);
    QTest::keyClick(&kit.tools(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(shown(), QStringList{frmOptions::ExitQuestion});
    QCOMPARE(exits.count(), 0);
    pushMessageResult(MessageResult::Yes);
    QTest::keyClick(&kit.tools(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(exits.count(), 1);
}

void EditorTest::dayMessagesAndPlayers()
{
    EditorKit kit(store);
    OptionsWindow& tools = kit.tools();
    tools.mnuSinglePlayer->trigger();
    tools.hDayMsg->setValue(3);
    kit.type(tools.txtDayMsg, QStringLiteral("Hold the bridge"));
    QCOMPARE(kit.map().DayMsg, (std::array<QString, 5>{QString(), QString(), QStringLiteral("Hold the bridge"), QString(), QString()}));
    tools.hDayMsg->setValue(1);
    QCOMPARE(tools.txtDayMsg->text(), QString());
    tools.hDayMsg->setValue(3);
    QCOMPARE(tools.txtDayMsg->text(), QStringLiteral("Hold the bridge"));

    tools.mnuOptions->trigger();
    tools.hPlayers->setValue(4);
    QCOMPARE(tools.lblPlayers->text(), QStringLiteral("4"));
    QCOMPARE(kit.map().Players, 4);
}

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"
