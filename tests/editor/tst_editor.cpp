// The map editor by mouse and keys: the canvas, the pages and palettes, the
// whole-map commands, Save and Open; a map made here read by the battle, the
// preview and the editor, and started from the local game.

#include "EditorKit.h"
#include "frontend/Application.h"
#include "frontend/MapPreview.h"
#include "frontend/frmIntro2.h"
#include "frontend/frmLocalGame.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStackedWidget>

using namespace modStrat;
using platform::MessageResult;
using platform::dialogScript::pushInput;
using platform::dialogScript::pushMessageResult;
using platform::dialogScript::shown;

namespace {

QRgb rgb(QRgb colour) { return colour & 0xFFFFFF; }

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The tiles of the units, then of the buildings, in use.
QList<QPoint> pieceTiles(const mapfile::MapDocument& map)
{
    QList<QPoint> tiles;
    for (int i = 1; i <= mapfile::UnitSlots; ++i) {
        if (map.EdUnitType[i] != None)
            tiles << QPoint(map.EdUnitLeft[i], map.EdUnitTop[i] + 2) / 25;
    }
    tiles << QPoint(-1, -1);
    for (int i = 1; i <= mapfile::BuildingSlots; ++i) {
        if (map.EdBuildingType[i] != None)
            tiles << QPoint(map.EdBuildingLeft[i], map.EdBuildingTop[i]) / 25;
    }
    return tiles;
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
    void placing();
    void placingByPointer_data();
    void placingByPointer();
    void oneUnitATile_data();
    void oneUnitATile();
    void lastSlots_data();
    void lastSlots();
    void pageSwitch_data();
    void pageSwitch();
    void wholeMapCommands_data();
    void wholeMapCommands();
    void exitWhileTyping_data();
    void exitWhileTyping();
    void questionsKeepWork_data();
    void questionsKeepWork();
    void applySize_data();
    void applySize();
    void unsavedChanges_data();
    void unsavedChanges();
    void fileRefusals_data();
    void fileRefusals();
    void headquartersOfNoBuilding();
    void everyReaderSeesTheSameMap();
    void madeInTheEditorStartsABattle();

private:
    PictureStore store;
    std::unique_ptr<FrontendFolder> folder;
};

void EditorTest::opensEmptyEveryTime()
{
    EditorKit kit(store);
    for (int opening = 0; opening < 2; ++opening) {
        QCOMPARE(QSize(kit.map().MapWidth, kit.map().MapHeight), QSize(25, 16));
        QCOMPARE(valuesOf(kit.map().EdTile).mid(0, kit.map().TileCount), QList<int>(400, 9));
        QCOMPARE(pieces(kit.map()), QList<int>(154, None));
        QCOMPARE(kit.canvas().size(), QSize(625, 400));
        QCOMPARE(kit.pixel(EditorKit::centre(24, 15)), rgb(terrainColour(9)));
        QCOMPARE(kit.tools().txtSizeX->text() + kit.tools().txtSizeY->text(), QStringLiteral("2516"));
        QVERIFY(kit.tools().isVisible());
        // Changed, then closed with the canvas: it opens again empty, its settings kept.
        kit.resize(QStringLiteral("8"), QStringLiteral("4"));
        kit.building(0, BuildingType::NeutralCity);
        kit.click(1, 1);
        EditorKit::type(kit.tools().txtMapName, QStringLiteral("Kept"));
        pushMessageResult(MessageResult::Yes);   // to losing the changes
        kit.editor.canvasWindow().close();
        QVERIFY(!kit.tools().isVisible());
        kit.editor.open();
    }
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
    QTest::newRow("click on a building") << "building at (2,1)" << QList<QPoint>{{2, 1}} << QList<QPoint>{};
    QTest::newRow("drag past a building") << "building at (2,1)" << row << QList<QPoint>{{1, 1}, {3, 1}};
    QTest::newRow("drag in unit mode") << "units" << row << QList<QPoint>{};
}

void EditorTest::terrain()
{
    QFETCH(QString, mode);
    QFETCH(QList<QPoint>, path);
    QFETCH(QList<QPoint>, painted);
    EditorKit kit(store);
    if (mode == QLatin1String("building at (2,1)")) {
        kit.building(0, BuildingType::NeutralCity);
        kit.click(2, 1);
    }
    kit.terrain(30);
    if (mode == QLatin1String("units"))
        kit.tools().mnuUnits->trigger();
    path.size() == 1 ? kit.click(path[0].x(), path[0].y()) : kit.drag(path);

    QList<int> expected(400, 9);
    for (const QPoint& t : painted) {
        expected[t.y() * 25 + t.x()] = 30;
        QCOMPARE(kit.pixel(EditorKit::centre(t.x(), t.y())), rgb(terrainColour(30)));
    }
    QCOMPARE(valuesOf(kit.map().EdTile).mid(0, 400), expected);
}

void EditorTest::placing()
{
    EditorKit kit(store);
    mapfile::MapDocument& map = kit.map();
    kit.building(1, BuildingType::Headquarters[1]);
    kit.click(0, 0);
    // A second headquarters replaces the first, which leaves the map.
    kit.click(1, 0);
    QCOMPARE(QList<int>({map.EdHQ[1], map.EdBuildingType[1]}), QList<int>({2, None}));
    QCOMPARE(kit.pixel(EditorKit::centre(0, 0)), rgb(terrainColour(9)));
    QCOMPARE(kit.pixel(EditorKit::centre(1, 0)), rgb(buildingColour(2)));
    // Player 3's headquarters picture, kept picked while the owner becomes
    // player 1, is an ordinary building of player 1.
    kit.building(3, BuildingType::Headquarters[3]);
    EditorKit::press(kit.tools().opBPlayer[1]);
    kit.click(2, 0);
    QCOMPARE(QList<int>({map.EdBuildingType[1], map.EdBuildingPlayer[1], map.EdHQ[1], map.EdHQ[3]}),
             QList<int>({12, 1, 2, None}));
    // Removing the headquarters building takes the headquarters with it.
    kit.click(1, 0, Qt::RightButton);
    QCOMPARE(QList<int>({map.EdBuildingType[2], map.EdHQ[1]}), QList<int>({None, None}));

    // Units: a removed slot is the first one reused.
    kit.unit(1, UnitType::Infantry);
    for (int column = 0; column < 3; ++column)
        kit.click(column, 2);
    kit.click(1, 2, Qt::RightButton);
    kit.unit(2, UnitType::HeavyTank);
    kit.click(4, 0);
    QCOMPARE(valuesOf(map.EdUnitType).mid(0, 4), QList<int>({12, 13, 12, None}));
    QCOMPARE(QList<int>({map.EdUnitPlayer[2], map.EdUnitLeft[2], map.EdUnitTop[2]}), QList<int>({2, 100, -2}));
    // Player 2 faces left in its own colour, 2 pixels above the tile.
    QCOMPARE(kit.pixel(EditorKit::centre(4, 0) - QPoint(0, 2)), rgb(leftColour(2, UnitType::HeavyTank)));
}

void EditorTest::placingByPointer_data()
{
    QTest::addColumn<bool>("unitFirst");     // else a building stands on tile (6,6)
    QTest::addColumn<bool>("placeUnit");     // else a building is placed
    QTest::addColumn<QPoint>("pixel");       // clicked
    QTest::addColumn<QList<QPoint>>("tiles");   // of the units, (-1,-1), of the buildings
    const QPoint centre = EditorKit::centre(6, 6);
    const QPoint at(6, 6);
    const QPoint gap(-1, -1);
    // A unit's sprite covers the bottom 2 pixels of the tile above and leaves its own tile's bare.
    QTest::newRow("unit on the bottom of a unit's tile") << true << true << QPoint(162, 174) << QList<QPoint>{at, gap};
    QTest::newRow("unit on the tile above, under the sprite") << true << true << QPoint(162, 149)
                                                               << QList<QPoint>{at, {6, 5}, gap};
    QTest::newRow("building under a unit on view") << true << false << centre << QList<QPoint>{at, gap};
    QTest::newRow("unit onto a building") << false << true << centre << QList<QPoint>{gap, at};
    QTest::newRow("building onto a building") << false << false << centre << QList<QPoint>{gap, at};
}

void EditorTest::placingByPointer()
{
    QFETCH(bool, unitFirst);
    QFETCH(bool, placeUnit);
    QFETCH(QPoint, pixel);
    QFETCH(QList<QPoint>, tiles);
    EditorKit kit(store);
    // Units stay on view throughout: the building page does not hide them.
    const auto pick = [&](bool unit) { unit ? kit.unit(1, UnitType::Infantry) : kit.building(0, BuildingType::NeutralCity); };
    pick(unitFirst);
    kit.click(6, 6);
    pick(placeUnit);
    QTest::mouseClick(&kit.canvas(), Qt::LeftButton, {}, pixel);
    QCOMPARE(pieceTiles(kit.map()), tiles);
}

void EditorTest::oneUnitATile_data()
{
    QTest::addColumn<bool>("shown");   // the units placed, when the second click comes
    QTest::addColumn<int>("column");   // of the second click; the first is on column 3
    QTest::addColumn<int>("units");
    QTest::newRow("on view, same tile") << true << 3 << 1;
    QTest::newRow("hidden, same tile") << false << 3 << 1;
    QTest::newRow("hidden, next tile") << false << 4 << 2;
}

void EditorTest::oneUnitATile()
{
    QFETCH(bool, shown);
    QFETCH(int, column);
    QFETCH(int, units);
    frmEditor editor;
    editor.Form_Load();
    editor.EdMode = EditMode::Units;
    editor.EdSelected = UnitType::Infantry;
    editor.UnitOwnerOption = 0;
    editor.imgTile_Click(3 * frmEditor::StartColumns + 3 + 1);
    editor.UnitsShown = shown;
    editor.imgTile_Click(3 * frmEditor::StartColumns + column + 1);
    QCOMPARE(int(std::count_if(editor.Map.EdUnitType.begin(), editor.Map.EdUnitType.end(),
                               [](std::int16_t type) { return type != None; })),
             units);
}

void EditorTest::lastSlots_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("placed");   // the slot a click fills and Save writes; 0: none
    QTest::newRow("100th unit") << "units" << 100;
    QTest::newRow("no 101st unit") << "full units" << 0;
    QTest::newRow("50th building") << "buildings" << 50;
    QTest::newRow("no 51st building") << "full buildings" << 0;
    QTest::newRow("neutral unit owner") << "neutral" << 0;
    QTest::newRow("no unit picked") << "no pick" << 0;
    QTest::newRow("the sprites' template picked") << "template" << 0;
}

void EditorTest::lastSlots()
{
    QFETCH(QString, setup);
    QFETCH(int, placed);
    EditorKit kit(store);
    mapfile::MapDocument& map = kit.map();
    map.EdHQ[1] = 5;
    map.EdHQ[2] = 6;
    const bool units = setup.endsWith(QLatin1String("units"));
    int type = units ? UnitType::Infantry : BuildingType::Headquarters[1];
    if (units) {
        map.EdUnitType.fill(UnitType::Recon);
        map.EdUnitType[mapfile::UnitSlots] = setup.startsWith(QLatin1String("full")) ? UnitType::Recon : None;
        kit.unit(1, type);
    } else if (setup.endsWith(QLatin1String("buildings"))) {
        map.EdBuildingType.fill(BuildingType::NeutralCity);
        map.EdBuildingType[mapfile::BuildingSlots] =
            setup.startsWith(QLatin1String("full")) ? BuildingType::NeutralCity : None;
        kit.building(1, type);
    } else if (setup == QLatin1String("neutral")) {
        kit.unit(1, UnitType::Infantry);
        EditorKit::press(kit.tools().opPlayer[4]);
        QVERIFY(kit.tools().imgUnit->items().empty());
    } else if (setup == QLatin1String("template")) {
        kit.unit(2, UnitType::Infantry);
        EditorKit::pick(kit.tools().imgUnit, 0);
    } else {
        kit.tools().mnuUnits->trigger();
    }
    const QList<int> before = pieces(map);
    kit.click(3, 3);
    if (placed == 0) {
        // Nor does a headquarters change.
        QCOMPARE(pieces(map), before);
        return;
    }
    kit.save(QStringLiteral("full"));
    const auto saved = mapfile::read(folder->path(QStringLiteral("full.spw")));
    QVERIFY(saved);
    const QList<int> slot = units ? QList<int>{saved->EdUnitType[placed], saved->EdUnitLeft[placed], saved->EdHQ[1]}
                                  : QList<int>{saved->EdBuildingType[placed], saved->EdBuildingLeft[placed], saved->EdHQ[1]};
    QCOMPARE(slot, (QList<int>{type, 75, units ? 5 : placed}));
}

void EditorTest::pageSwitch_data()
{
    QTest::addColumn<int>("page");   // also the entry's place in the Select menu
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("unitsShown");   // the tile page hid them before
    QTest::newRow("General Options") << 0 << 0 << false;
    QTest::newRow("Platform Tileset") << 1 << 1 << false;
    QTest::newRow("Units") << 2 << 2 << true;
    QTest::newRow("Buildings") << 3 << 3 << false;
    QTest::newRow("Single Player") << 4 << 0 << false;
}

void EditorTest::pageSwitch()
{
    QFETCH(int, page);
    QFETCH(int, mode);
    QFETCH(bool, unitsShown);
    EditorKit kit(store);
    kit.unit(1, UnitType::Infantry);
    kit.click(3, 3);
    kit.terrain(30);
    OptionsWindow& tools = kit.tools();
    QAction* const entries[] = {tools.mnuOptions, tools.mnuPlatform, tools.mnuUnits, tools.mnuBuildings,
                                tools.mnuSinglePlayer};
    entries[page]->trigger();
    QCOMPARE(kit.editor.editor().EdSelected, 0);
    QCOMPARE(int(kit.editor.editor().EdMode), mode);
    QCOMPARE(tools.pages->currentIndex(), page);
    QCOMPARE(kit.editor.editor().hitAt(EditorKit::centre(3, 3)).kind, unitsShown ? CanvasHit::Unit : CanvasHit::Tile);
}

void EditorTest::wholeMapCommands_data()
{
    QTest::addColumn<int>("key");   // with Ctrl
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("terrain");   // of every tile afterwards
    QTest::addColumn<bool>("piecesKept");
    QTest::addColumn<int>("exits");
    QTest::newRow("New, Yes") << int(Qt::Key_N) << true << frmOptions::NewQuestion << 0 << false << 0;
    QTest::newRow("New, No") << int(Qt::Key_N) << false << frmOptions::NewQuestion << 9 << true << 0;
    QTest::newRow("Fill, Yes") << int(Qt::Key_F) << true << frmOptions::FillQuestion << 18 << true << 0;
    QTest::newRow("Fill, No") << int(Qt::Key_F) << false << frmOptions::FillQuestion << 9 << true << 0;
    // The pieces are not saved: Exit asks about them.
    QTest::newRow("Exit, No") << int(Qt::Key_X) << false << frmOptions::UnsavedQuestion << 9 << true << 0;
    QTest::newRow("Exit, Yes") << int(Qt::Key_X) << true << frmOptions::UnsavedQuestion << 9 << true << 1;
}

void EditorTest::wholeMapCommands()
{
    QFETCH(int, key);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(int, terrain);
    QFETCH(bool, piecesKept);
    QFETCH(int, exits);
    EditorKit kit(store);
    QSignalSpy exitSpy(&kit.editor, &MapEditor::exitRequested);
    kit.building(1, BuildingType::Headquarters[1]);
    kit.click(24, 15);
    kit.unit(1, UnitType::Infantry);
    kit.click(0, 0);
    kit.terrain(18);
    const QList<int> before = pieces(kit.map());

    pushMessageResult(yes ? MessageResult::Yes : MessageResult::No);
    QApplication::setActiveWindow(&kit.tools());
    QTest::keyClick(&kit.tools(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(shown(), QStringList{question});
    QCOMPARE(exitSpy.count(), exits);
    QCOMPARE(valuesOf(kit.map().EdTile).mid(0, 400), QList<int>(400, terrain));
    QCOMPARE(pieces(kit.map()), piecesKept ? before : QList<int>(154, None));
}

void EditorTest::exitWhileTyping_data()
{
    QTest::addColumn<int>("box");   // map name, description, day message
    QTest::addColumn<bool>("yes");
    QTest::newRow("map name, No") << 0 << false;
    QTest::newRow("map name, Yes") << 0 << true;
    QTest::newRow("description, Yes") << 1 << true;
    QTest::newRow("day message, Yes") << 2 << true;
}

void EditorTest::exitWhileTyping()
{
    QFETCH(int, box);
    QFETCH(bool, yes);
    EditorKit kit(store);
    OptionsWindow& tools = kit.tools();
    QSignalSpy exitSpy(&kit.editor, &MapEditor::exitRequested);
    QWidget* const boxes[] = {tools.txtMapName, tools.txtMapDesc, tools.txtDayMsg};
    (box == 2 ? tools.mnuSinglePlayer : tools.mnuOptions)->trigger();
    QApplication::setActiveWindow(&tools);
    boxes[box]->setFocus();
    QTest::keyClicks(nullptr, QStringLiteral("Kept"));
    QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_A, Qt::ControlModifier);
    pushMessageResult(yes ? MessageResult::Yes : MessageResult::No);
    QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_X, Qt::ControlModifier);
    // What was typed is not saved.
    QCOMPARE(shown(), QStringList{frmOptions::UnsavedQuestion});
    QCOMPARE(exitSpy.count(), yes ? 1 : 0);
    // Nothing was cut.
    QVERIFY((box == 1 ? tools.txtMapDesc->toPlainText() : static_cast<QLineEdit*>(boxes[box])->text())
                .endsWith(QLatin1String("Kept")));
}

void EditorTest::questionsKeepWork_data()
{
    QTest::addColumn<int>("command");  // with Ctrl
    QTest::addColumn<bool>("painted");
    QTest::addColumn<int>("key");      // pressed in the box; none clicks Yes
    QTest::addColumn<QString>("question");
    QTest::addColumn<int>("exits");
    QTest::newRow("Exit, painted, Enter") << int(Qt::Key_X) << true << int(Qt::Key_Return) << frmOptions::UnsavedQuestion << 0;
    QTest::newRow("Exit, painted, Space") << int(Qt::Key_X) << true << int(Qt::Key_Space) << frmOptions::UnsavedQuestion << 0;
    QTest::newRow("Exit, nothing unsaved, Yes") << int(Qt::Key_X) << false << 0 << frmOptions::ExitQuestion << 1;
    QTest::newRow("New, painted, Enter") << int(Qt::Key_N) << true << int(Qt::Key_Return) << frmOptions::NewQuestion << 0;
    QTest::newRow("Fill, painted, Enter") << int(Qt::Key_F) << true << int(Qt::Key_Return) << frmOptions::FillQuestion << 0;
}

// Keys pressed in a real box, as a person types on: Enter or Space keeps the
// work a question would throw away.
void EditorTest::questionsKeepWork()
{
    QFETCH(int, command);
    QFETCH(bool, painted);
    QFETCH(int, key);
    QFETCH(QString, question);
    QFETCH(int, exits);
    EditorKit kit(store);
    QSignalSpy exitSpy(&kit.editor, &MapEditor::exitRequested);
    if (painted) {
        kit.terrain(30);
        kit.click(1, 1);
    }
    const mapfile::MapDocument before = kit.map();
    const RealBoxes real;
    QString asked;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        asked = box->text();
        if (key)
            QTest::keyClick(box->focusWidget(), Qt::Key(key));
        else
            box->button(QMessageBox::Yes)->click();
    });
    QApplication::setActiveWindow(&kit.tools());
    QTest::keyClick(&kit.tools(), Qt::Key(command), Qt::ControlModifier);
    QCOMPARE(asked, question);
    QCOMPARE(exitSpy.count(), exits);
    QVERIFY(kit.map() == before);
}

void EditorTest::applySize_data()
{
    QTest::addColumn<QString>("x");
    QTest::addColumn<QString>("y");
    QTest::addColumn<bool>("painted");      // a tile holds other than the blank tile
    QTest::addColumn<bool>("yes");          // to the question, if one is asked
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<QSize>("size");        // in tiles, after Apply
    QTest::addColumn<int>("left");          // of the 4 units and buildings
    const QString reset = QStringLiteral("Apply will reset every tile to the blank tile.  Is this okay?");
    const QString all = QStringLiteral("Apply will reset every tile to the blank tile and remove 1 unit and 3 buildings "
                                       "outside the new size, including the Headquarters of players 1 and 2.  Is this okay?");
    QTest::newRow("30 x 20") << "30" << "20" << false << false << QStringList() << QSize(30, 20) << 4;
    QTest::newRow("30 x 20 painted, Yes") << "30" << "20" << true << true << QStringList{reset} << QSize(30, 20) << 4;
    QTest::newRow("30 x 20 painted, No") << "30" << "20" << true << false << QStringList{reset} << QSize(25, 16) << 4;
    QTest::newRow("25 x 16 again, painted") << "25" << "16" << true << true << QStringList{reset} << QSize(25, 16) << 4;
    QTest::newRow("25 x 25 warns") << "25" << "25" << false << false << QStringList{frmOptions::NotPlayable}
                                   << QSize(25, 25) << 4;
    QTest::newRow("25 x 14 leaves a city off")
        << "25" << "14" << false << true
        << QStringList{"Apply will remove 1 building outside the new size.  Is this okay?"} << QSize(25, 14) << 3;
    QTest::newRow("23 x 16 leaves a headquarters off")
        << "23" << "16" << false << true
        << QStringList{"Apply will remove 1 building outside the new size, including the Headquarters of "
                       "player 1.  Is this okay?"}
        << QSize(23, 16) << 3;
    QTest::newRow("10 x 10, Yes") << "10" << "10" << true << true << QStringList{all} << QSize(10, 10) << 0;
    QTest::newRow("10 x 10, No") << "10" << "10" << true << false << QStringList{all} << QSize(25, 16) << 4;
    QTest::newRow("0 wide") << "0" << "5" << true << false << QStringList{frmOptions::BadSize} << QSize(25, 16) << 4;
    QTest::newRow("empty") << "" << "5" << true << false << QStringList{frmOptions::BadSize} << QSize(25, 16) << 4;
    QTest::newRow("over 750 tiles") << "30" << "26" << true << false << QStringList{frmOptions::TooManyTiles}
                                    << QSize(25, 16) << 4;
}

void EditorTest::applySize()
{
    QFETCH(QString, x);
    QFETCH(QString, y);
    QFETCH(bool, painted);
    QFETCH(bool, yes);
    QFETCH(QStringList, said);
    QFETCH(QSize, size);
    QFETCH(int, left);
    EditorKit kit(store);
    kit.unit(1, UnitType::Infantry);
    kit.click(20, 12);
    kit.building(0, BuildingType::NeutralCity);
    kit.click(5, 14);
    kit.building(1, BuildingType::Headquarters[1]);
    kit.click(23, 0);
    kit.building(2, BuildingType::Headquarters[2]);
    kit.click(22, 3);
    if (painted) {
        kit.terrain(30);
        kit.click(1, 1);
    }
    if (yes)
        pushMessageResult(MessageResult::Yes);
    kit.resize(x, y);

    QCOMPARE(shown(), said);
    QCOMPARE(QSize(kit.map().MapWidth, kit.map().MapHeight), size);
    QCOMPARE(kit.map().TileCount, size.width() * size.height());
    QCOMPARE(kit.canvas().size(), size * 25);
    // A size refused as typed stays in the boxes to be put right; after a No
    // they show the map's own size again.
    const bool refused = said.contains(frmOptions::BadSize) || said.contains(frmOptions::TooManyTiles);
    const bool applied = !refused && (yes || !said.join(QString()).endsWith(QLatin1String("Is this okay?")));
    QCOMPARE(QStringList({kit.tools().txtSizeX->text(), kit.tools().txtSizeY->text()}),
             refused ? QStringList({x, y}) : QStringList({QString::number(size.width()), QString::number(size.height())}));
    QCOMPARE(kit.map().EdTile[size.width() + 2], painted && !applied ? 30 : 9);
    QCOMPARE(pieceTiles(kit.map()).size() - 1, left);
}

void EditorTest::unsavedChanges_data()
{
    QTest::addColumn<QString>("edit");    // what is done to the map first
    QTest::addColumn<QString>("leave");   // how the map is left
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<bool>("kept");       // the edited map is the one being edited afterwards
    const QStringList asked{frmOptions::UnsavedQuestion};
    QTest::newRow("unit, canvas closed, Yes") << "unit" << "close canvas" << true << asked << false;
    QTest::newRow("unit, tool window closed, No") << "unit" << "close tools" << false << asked << true;
    QTest::newRow("name, canvas closed, No") << "name" << "close canvas" << false << asked << true;
    QTest::newRow("nothing, closed") << "nothing" << "close canvas" << false << QStringList() << true;
    QTest::newRow("saved, closed") << "saved" << "close canvas" << false << QStringList() << false;
    QTest::newRow("made new, closed") << "new" << "close tools" << false << QStringList() << false;
    QTest::newRow("hidden, opened again, No") << "unit" << "hide" << false << asked << true;
    QTest::newRow("hidden, opened again, Yes") << "unit" << "hide" << true << asked << false;
    QTest::newRow("another map opened, No") << "unit" << "open" << false
                                            << QStringList{frmOptions::OpenPrompt, frmOptions::UnsavedQuestion} << true;
    QTest::newRow("another map opened, Yes") << "unit" << "open" << true
                                             << QStringList{frmOptions::OpenPrompt, frmOptions::UnsavedQuestion} << false;
    // Its painted tiles are saved: opening another map resizes without a word.
    QTest::newRow("saved, another map opened") << "saved" << "open" << false << QStringList{frmOptions::OpenPrompt}
                                               << false;
}

void EditorTest::unsavedChanges()
{
    QFETCH(QString, edit);
    QFETCH(QString, leave);
    QFETCH(bool, yes);
    QFETCH(QStringList, said);
    QFETCH(bool, kept);
    folder->writeDuel(QStringLiteral("other.spw"));
    EditorKit kit(store);
    if (edit == QLatin1String("name")) {
        EditorKit::type(kit.tools().txtMapName, QStringLiteral("Mine"));
    } else if (edit != QLatin1String("nothing")) {
        kit.makeDuel();
        if (edit == QLatin1String("saved"))
            kit.save(QStringLiteral("mine"));
        if (edit == QLatin1String("new")) {
            pushMessageResult(MessageResult::Yes);
            kit.tools().mnuNew->trigger();
        }
    }
    const mapfile::MapDocument edited = kit.map();
    platform::dialogScript::clear();
    pushMessageResult(yes ? MessageResult::Yes : MessageResult::No);
    if (leave == QLatin1String("open")) {
        pushInput(QStringLiteral("other"));
        kit.tools().mnuOpen->trigger();
    } else if (leave == QLatin1String("hide")) {
        kit.editor.close();
        kit.editor.open();
    } else {
        (leave == QLatin1String("close canvas") ? static_cast<QWidget&>(kit.editor.canvasWindow())
                                                : static_cast<QWidget&>(kit.tools()))
            .close();
        // Either both windows close or neither does.
        QCOMPARE(kit.editor.isOpen(), !said.isEmpty() && !yes);
        QCOMPARE(kit.tools().isVisible(), kit.editor.isOpen());
        kit.editor.open();
    }
    QCOMPARE(shown(), said);
    QCOMPARE(kit.map() == edited, kept);
}

void EditorTest::fileRefusals_data()
{
    QTest::addColumn<bool>("open");          // else Save
    QTest::addColumn<int>("headquarters");   // players given one
    QTest::addColumn<QVariant>("name");      // invalid: Cancel
    QTest::addColumn<QStringList>("said");
    const QString prompt = frmOptions::SavePrompt;
    const QString x = QStringLiteral("x");
    QTest::newRow("no headquarters") << false << 0 << QVariant(x) << QStringList{"Player 1 has no Headquarters."};
    QTest::newRow("player 2 lacks one") << false << 1 << QVariant(x) << QStringList{"Player 2 has no Headquarters."};
    QTest::newRow("cancel") << false << 2 << QVariant() << QStringList{prompt};
    QTest::newRow("empty name") << false << 2 << QVariant(QString()) << QStringList{prompt};
    for (const QString& name : {QStringLiteral("../up"), QStringLiteral("a\\b"), QStringLiteral("..")})
        QTest::newRow(qPrintable(name)) << false << 2 << QVariant(name) << QStringList{prompt, frmOptions::BadName.arg(name)};
    QTest::newRow("write fails") << false << 2 << QVariant(QStringLiteral("busy")) << QStringList{prompt, frmOptions::SaveFailed};
    QTest::newRow("open a missing map") << true << 2 << QVariant(x)
                                        << QStringList{frmOptions::OpenPrompt, frmOptions::NotFound.arg(x)};
    QTest::newRow("open outside the folder") << true << 2 << QVariant(QStringLiteral("../up"))
                                             << QStringList{frmOptions::OpenPrompt, frmOptions::BadName.arg("../up")};
}

void EditorTest::fileRefusals()
{
    QFETCH(bool, open);
    QFETCH(int, headquarters);
    QFETCH(QVariant, name);
    QFETCH(QStringList, said);
    QDir(folder->folder.path()).mkdir(QStringLiteral("busy.spw"));
    EditorKit kit(store);
    kit.resize(QStringLiteral("6"), QStringLiteral("3"));
    for (int p = 1; p <= headquarters; ++p) {
        kit.building(p, BuildingType::Headquarters[p]);
        kit.click(p, 0);
    }
    const QList<int> before = pieces(kit.map());
    platform::dialogScript::clear();
    pushInput(name.isValid() ? std::optional<QString>(name.toString()) : std::nullopt);
    (open ? kit.tools().mnuOpen : kit.tools().mnuSave)->trigger();
    QCOMPARE(shown(), said);
    // Nothing written, nothing changed.
    QCOMPARE(QDir(folder->folder.path()).entryList({QStringLiteral("*.spw")}, QDir::Files), QStringList());
    QVERIFY(!QFile::exists(folder->path(QStringLiteral("../up.spw"))));
    QCOMPARE(pieces(kit.map()), before);
    QCOMPARE(kit.canvas().size(), QSize(150, 75));
}

void EditorTest::headquartersOfNoBuilding()
{
    MapBuilder map(6, 3);
    map.headquarters(1, map.building(BuildingType::Headquarters[1], 1, 0, 0)).headquarters(2, 7);
    folder->writeMap(map, QStringLiteral("hq.spw"));
    EditorKit kit(store);
    pushInput(QStringLiteral("hq"));
    kit.tools().mnuOpen->trigger();
    QCOMPARE(kit.canvas().size(), QSize(150, 75));
    // Such a map would start a battle in which player 2 has no headquarters.
    kit.tools().mnuSave->trigger();
    QCOMPARE(shown(), QStringList({frmOptions::OpenPrompt, frmOptions::NoHeadquarters.arg(2)}));
}

void EditorTest::everyReaderSeesTheSameMap()
{
    EditorKit kit(store);
    OptionsWindow& tools = kit.tools();
    kit.makeDuel();
    kit.building(0, BuildingType::NeutralFactory);
    kit.click(2, 0);
    kit.terrain(30);
    kit.drag({{1, 0}, {1, 1}});
    EditorKit::type(tools.txtMapName, QStringLiteral("Made Here"));
    QTest::keyClicks(tools.txtMapDesc, QStringLiteral("Two bases"));
    tools.mnuSinglePlayer->trigger();
    EditorKit::press(tools.chkEnemy[1]);
    EditorKit::press(tools.chkVictory[0]);
    EditorKit::type(tools.txtVictory, QStringLiteral("Well done"));
    tools.hDayMsg->setValue(2);
    EditorKit::type(tools.txtDayMsg, QStringLiteral("Day two"));
    kit.save(QStringLiteral("made"));
    const QString made = folder->path(QStringLiteral("made.spw"));
    const mapfile::MapDocument saved = kit.map();

    // A bigger, fuller map opened in between leaves nothing behind: the day
    // box, the canvas and a second save all show the map as made.
    MapBuilder big(30, 20, 5);
    for (int i = 0; i < 40; ++i)
        big.unit(UnitType::HeavyTank, 1 + i % 2, i % 30, i / 30);
    for (int i = 0; i < 20; ++i)
        big.building(BuildingType::City[1], 1, i, 10);
    big.map.DayMsg[1] = QStringLiteral("stale");
    folder->writeMap(big.headquarters(1, 3), QStringLiteral("big.spw"));
    for (const char* name : {"big", "made"}) {
        pushInput(QString::fromLatin1(name));
        tools.mnuOpen->trigger();
    }
    QCOMPARE(tools.txtDayMsg->text(), QStringLiteral("Day two"));
    QCOMPARE(tools.txtSizeX->text(), QStringLiteral("6"));
    QCOMPARE(kit.canvas().size(), QSize(150, 75));
    kit.save(QStringLiteral("again"));
    QCOMPARE(bytesOf(folder->path(QStringLiteral("again.spw"))), bytesOf(made));

    MapPreview preview(store);
    const MapPreviewInfo info = preview.showMap(made);
    QCOMPARE(QStringList({info.name, info.description}), QStringList({"Made Here", "Two bases"}));
    QCOMPARE(info.players, std::optional<std::int16_t>(2));
    const QImage& cells = preview.image();
    QCOMPARE(cells.pixel(MapPreview::origin() + QPoint(15, 15)), terrainColour(30));
    QCOMPARE(cells.pixel(MapPreview::origin() + QPoint(55, 15)), buildingColour(BuildingType::Headquarters[2]));

    // The battle: the same tiles, units, buildings and headquarters, where the editor put them.
    BattleKit battle;
    MapPath = made;
    QVERIFY(battle.startWithSettings(2, NoTimeLimit));
    QList<int> read;
    QList<int> edited;
    for (int i = 1; i <= MaxUnits; ++i) {
        const UnitRecord& u = Units[i];
        read << (u.V ? u.PIC : None) << u.P << u.X - MapLeft << u.Y - MapTop;
        edited << saved.EdUnitType[i] << saved.EdUnitPlayer[i] << saved.EdUnitLeft[i] << saved.EdUnitTop[i];
    }
    for (int i = 1; i <= MaxBuildings; ++i) {
        const BuildingRecord& b = Buildings[i];
        read << b.PIC << b.P << b.X - MapLeft << b.Y - MapTop;
        edited << saved.EdBuildingType[i] << saved.EdBuildingPlayer[i] << saved.EdBuildingLeft[i]
               << saved.EdBuildingTop[i];
    }
    QCOMPARE(read, edited);
    QCOMPARE(valuesOf(HQ), valuesOf(saved.EdHQ));
    for (int i = 1; i <= 18; ++i)
        QCOMPARE(int(Tiles[i].Terrain), int(saved.EdTile[i]));
}

void EditorTest::madeInTheEditorStartsABattle()
{
    Application::Parts parts;
    parts.music = std::make_unique<platform::SilentMusicPlayer>(QStringList{});
    parts.random = std::make_unique<platform::ScriptedRandom>();
    Application app(std::move(parts));
    app.start();
    // After a battle on another map the editor still opens at its own size.
    MapWidth = 8;
    MapHeight = 6;
    app.startWindow().cmdEditor->click();
    QVERIFY(app.editor() && app.editor()->isOpen());
    EditorKit kit(*app.editor());
    QCOMPARE(kit.canvas().size(), QSize(625, 400));
    kit.makeDuel();
    app.startWindow().cmdEditor->click();   // already open: the map stays
    QCOMPARE(kit.canvas().size(), QSize(150, 75));
    kit.save(QStringLiteral("duel"));
    kit.editor.canvasWindow().close();

    app.startWindow().cmdLocalGame->click();
    platform::dialogScript::pushFileName(folder->path(QStringLiteral("duel.spw")));
    app.localGame()->cmdChooseMap->click();
    app.localGame()->cmdStart->click();
    // Its pieces are read as placed (everyReaderSeesTheSameMap); the battle is played end to end elsewhere.
    QVERIFY(QTest::qWaitFor([&] { return app.game().Running; }, 5000));

    // The editor's Exit, once confirmed, ends the program.
    QSignalSpy finished(&app, &Application::finished);
    app.startWindow().cmdEditor->click();
    pushMessageResult(MessageResult::Yes);
    app.editor()->toolWindow().mnuExit->trigger();
    QCOMPARE(finished.count(), 1);
    QVERIFY(!app.editor()->isOpen() && !app.startWindow().isVisible());
}

QTEST_MAIN(EditorTest)
#include "tst_editor.moc"
