#pragma once
// Every picture the battle, the map previews and the editor draw from: terrain,
// buildings, the unit sprites of all four owners with their masks, and the
// battle window's own pictures. Filled once at start-up; lives for the whole run.

#include <QImage>
#include <QString>
#include <QStringList>
#include <array>

class PictureStore {
public:
    static constexpr int TerrainCount = 71;
    static constexpr int BuildingCount = 20;
    static constexpr int UnitTypeCount = 15;
    static constexpr int SpriteWidth = 25;
    static constexpr int SpriteHeight = 27;

    // The file stem of a unit type's sprites; any other code takes the infantry's.
    static QString SpriteBaseName(int unitType);

    // The pictures built into the program: terrain, buildings, window pictures.
    void LoadBuiltIns();
    // The unit sprites from "Images" under the program folder, tinted for every
    // owner, with their masks. A missing file gets a placeholder and is listed.
    QStringList LoadLevel(const QString& programFolder);
    // The selected unit's up or down sprite in `player`'s colour, and its mask.
    void LoadPictureTemp(const QString& programFolder, int unitType, int player, bool up);

    // By terrain code and building type; a null picture is drawn as nothing.
    std::array<QImage, TerrainCount> picPlat;
    std::array<QImage, BuildingCount> imgBuilding;

    // Sprites by unit type 1..15 (element 0 unused); Right and Left by player 1..4.
    using Sprites = std::array<QImage, UnitTypeCount + 1>;
    std::array<Sprites, 5> imgPlayerRight;
    std::array<Sprites, 5> imgPlayerLeft;
    Sprites imgPlayer1D;   // acted, facing right (players 1 and 3)
    Sprites imgPlayer2D;   // acted, facing left (players 2 and 4)
    Sprites imgMaskRight;
    Sprites imgMaskLeft;
    QImage imgTemp;
    QImage imgTempM;

    // The battle window's pictures: picture and mask pairs are elements 0 and 1.
    std::array<QImage, 5> picHalo;
    std::array<QImage, 2> picMenu;
    std::array<QImage, 2> picUnitBox;
    std::array<QImage, 2> picArrow;
    std::array<QImage, 2> picTime;
    std::array<QImage, 3> picOptions;   // 0 main menu panel, 2 build menu panel
    std::array<QImage, 4> picDamageBar;

private:
    QImage lastTempFile_;   // the last up or down sprite read from a file, untinted
};
