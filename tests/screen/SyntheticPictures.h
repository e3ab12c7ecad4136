#pragma once
// A picture store of flat colours, so drawing can be checked pixel by pixel.

#include "screen/PictureStore.h"

inline QImage solid(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A 25 x 27 picture of one colour with a square of another, `size` wide, from (at, at).
inline QImage patch(QRgb background, int at, int size, QRgb colour)
{
    QImage image = solid(25, 27, background);
    for (int y = at; y < at + size; ++y)
        for (int x = at; x < at + size; ++x)
            image.setPixel(x, y, colour);
    return image;
}

// A sprite: black with a 9 x 9 block in the middle (rows 8..16); the mask to match.
inline QImage blockSprite(QRgb colour) { return patch(qRgb(0, 0, 0), 8, 9, colour); }
inline QImage blockMask() { return patch(qRgb(255, 255, 255), 8, 9, qRgb(0, 0, 0)); }
// Corner marks: the top-left 3 x 3 of the cell.
inline QImage cornerPicture(QRgb colour, bool mask)
{
    return mask ? patch(qRgb(255, 255, 255), 0, 3, qRgb(0, 0, 0)) : patch(qRgb(0, 0, 0), 0, 3, colour);
}

inline QRgb terrainColour(int code) { return qRgb(code * 3, 60, 90); }
inline QRgb buildingColour(int code) { return qRgb(200, code * 10, 5); }
inline QRgb rightColour(int player, int type) { return qRgb(player * 50, type * 10, 1); }
inline QRgb leftColour(int player, int type) { return qRgb(player * 50, type * 10, 2); }
inline const QRgb DoneRight = qRgb(100, 100, 100);
inline const QRgb DoneLeft = qRgb(110, 110, 110);
inline const QRgb TempColour = qRgb(7, 7, 7);

inline PictureStore syntheticStore()
{
    PictureStore store;
    for (int code = 0; code < PictureStore::TerrainCount; ++code)
        store.picPlat[code] = solid(25, 25, terrainColour(code));
    for (int code = 0; code < PictureStore::BuildingCount; ++code)
        store.imgBuilding[code] = solid(25, 25, buildingColour(code));
    for (int type = 1; type <= PictureStore::UnitTypeCount; ++type) {
        for (int player = 1; player <= 4; ++player) {
            store.imgPlayerRight[player][type] = blockSprite(rightColour(player, type));
            store.imgPlayerLeft[player][type] = blockSprite(leftColour(player, type));
        }
        store.imgPlayer1D[type] = blockSprite(DoneRight);
        store.imgPlayer2D[type] = blockSprite(DoneLeft);
        store.imgMaskRight[type] = store.imgMaskLeft[type] = blockMask();
    }
    store.imgTemp = blockSprite(TempColour);
    store.imgTempM = blockMask();
    store.picHalo = {cornerPicture(qRgb(0, 255, 0), false), cornerPicture(0, true),
                     cornerPicture(qRgb(255, 0, 0), false), cornerPicture(qRgb(250, 250, 250), false),
                     solid(25, 25, qRgb(255, 0, 0))};
    store.picMenu = {solid(793, 99, qRgb(120, 110, 185)), solid(793, 99, qRgb(0, 0, 0))};
    store.picUnitBox = {solid(54, 47, qRgb(255, 255, 254)), solid(54, 47, qRgb(0, 0, 0))};
    store.picArrow = {solid(19, 14, qRgb(123, 222, 123)), solid(19, 14, qRgb(0, 0, 0))};
    store.picTime = {solid(79, 83, qRgb(137, 137, 137)), solid(79, 83, qRgb(0, 0, 0))};
    return store;
}
