#pragma once
// The map editor open on a picture store of flat colours, in a program folder
// of the test's own, driven by mouse and keys.

#include "../frontend/FrontendKit.h"
#include "../screen/SyntheticPictures.h"
#include "editor/EditorCanvas.h"
#include "editor/MapEditor.h"
#include "editor/OptionsWindow.h"
#include "editor/Palettes.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

template <typename Table>
QList<int> valuesOf(const Table& table)
{
    return QList<int>(table.begin(), table.end());
}

// Every unit, building and headquarters slot.
inline QList<int> pieces(const mapfile::MapDocument& map)
{
    return valuesOf(map.EdUnitType) + valuesOf(map.EdBuildingType) + valuesOf(map.EdHQ);
}

class EditorKit {
public:
    explicit EditorKit(const PictureStore& store) : owned(std::make_unique<MapEditor>(store)), editor(*owned)
    {
        editor.open();
    }
    // The editor of a running program, already open.
    explicit EditorKit(MapEditor& open) : editor(open) {}

    mapfile::MapDocument& map() { return editor.editor().Map; }
    OptionsWindow& tools() { return editor.toolWindow(); }
    EditorCanvas& canvas() { return *editor.canvasWindow().canvas(); }

    static QPoint centre(int column, int row) { return {column * 25 + 12, row * 25 + 12}; }
    QRgb pixel(QPoint at) { return canvas().image().pixel(at) & 0xFFFFFF; }

    void click(int column, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(&canvas(), button, {}, centre(column, row));
    }
    // A right-button drag from the first tile over the others.
    void drag(const QList<QPoint>& tiles)
    {
        QTest::mousePress(&canvas(), Qt::RightButton, {}, centre(tiles[0].x(), tiles[0].y()));
        for (const QPoint& t : tiles)
            QTest::mouseMove(&canvas(), centre(t.x(), t.y()));
        QTest::mouseRelease(&canvas(), Qt::RightButton, {}, centre(tiles.back().x(), tiles.back().y()));
    }
    static void press(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(5, 5)); }
    static void pick(PaletteView* palette, int code)
    {
        QTest::mouseClick(palette, Qt::LeftButton, {}, palette->centreOf(code));
    }
    static void type(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    // The page, the owner option and the picture, as a person picks them.
    void terrain(int code)
    {
        tools().mnuPlatform->trigger();
        pick(tools().picPlat, code);
    }
    void building(int owner, int type)
    {
        tools().mnuBuildings->trigger();
        press(tools().opBPlayer[size_t(owner)]);
        pick(tools().imgBuilding, type);
    }
    void unit(int owner, int type)
    {
        tools().mnuUnits->trigger();
        press(tools().opPlayer[size_t(owner - 1)]);
        pick(tools().imgUnit, type);
    }
    void resize(const QString& x, const QString& y)
    {
        type(tools().txtSizeX, x);
        type(tools().txtSizeY, y);
        tools().cmdApply->click();
    }
    void save(const QString& name)
    {
        platform::dialogScript::pushInput(name);
        tools().mnuSave->trigger();
    }

    // A duel on a 6 x 3 floor: each headquarters at a row's end, player 1's
    // infantry next to player 2's headquarters, player 2's in a corner.
    void makeDuel()
    {
        resize(QStringLiteral("6"), QStringLiteral("3"));
        terrain(0);
        platform::dialogScript::pushMessageResult(platform::MessageResult::Yes);
        tools().mnuClear->trigger();
        building(1, BuildingType::Headquarters[1]);
        click(0, 1);
        building(2, BuildingType::Headquarters[2]);
        click(5, 1);
        unit(1, UnitType::Infantry);
        click(4, 1);
        unit(2, UnitType::Infantry);
        click(0, 2);
    }

    std::unique_ptr<MapEditor> owned;
    MapEditor& editor;
};
