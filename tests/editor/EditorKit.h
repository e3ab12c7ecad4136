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

class EditorKit {
public:
    explicit EditorKit(const PictureStore& store) : editor(store) { editor.open(); }

    frmEditor& ed() { return editor.editor(); }
    mapfile::MapDocument& map() { return editor.editor().Map; }
    OptionsWindow& tools() { return editor.toolWindow(); }
    EditorCanvas& canvas() { return *editor.canvasWindow().canvas(); }

    static QPoint centre(int column, int row) { return {column * 25 + 12, row * 25 + 12}; }
    int tile(int column, int row) { return row * map().MapWidth + column + 1; }

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
    void pick(PaletteView* palette, int code)
    {
        QTest::mouseClick(palette, Qt::LeftButton, {}, palette->centreOf(code));
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
        QTest::mouseClick(tools().opBPlayer[size_t(owner)], Qt::LeftButton, {}, QPoint(5, 5));
        pick(tools().imgBuilding, type);
    }
    void unit(int owner, int type)
    {
        tools().mnuUnits->trigger();
        QTest::mouseClick(tools().opPlayer[size_t(owner - 1)], Qt::LeftButton, {}, QPoint(5, 5));
        pick(tools().imgUnit, type);
    }
    void type(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    int unitsInUse()
    {
        return int(std::count_if(map().EdUnitType.begin(), map().EdUnitType.end(), [](auto t) { return t != None; }));
    }
    int buildingsInUse()
    {
        return int(std::count_if(map().EdBuildingType.begin(), map().EdBuildingType.end(),
                                 [](auto t) { return t != None; }));
    }
    QRgb pixel(QPoint at) { return canvas().image().pixel(at) & 0xFFFFFF; }

    MapEditor editor;
};
