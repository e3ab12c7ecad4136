// The map layer: terrain, buildings and the two halos.

#include "battle/frmGame.h"
#include "screen/Blit.h"
#include "screen/PictureStore.h"

using namespace modStrat;
using platform::RasterOp;
using screen::blit;
using screen::blitMasked;
using screen::element;

void frmGame::DrawMap()
{
    const PictureStore& store = pictures();
    const int tiles = MapTileCount();
    for (int i = 1; i <= tiles; ++i) {
        const TileRecord& tile = Tiles[i];
        blit(surface, tile.X, tile.Y, TileSize, TileSize, element(store.picPlat, tile.Terrain), RasterOp::Copy);
    }
    for (const BuildingRecord& building : Buildings) {
        if (building.Exists)
            blit(surface, building.X, building.Y, TileSize, TileSize, element(store.imgBuilding, building.PIC),
                 RasterOp::Copy);
    }
    constexpr int haloHeight = TileSize + UnitRaise;
    if (TargetShown)
        blitMasked(surface, TargetX, TargetY, TileSize, haloHeight, store.picHalo[1], store.picHalo[2]);
    if (CursorShown && SelectedUnit == None)
        blitMasked(surface, CursorX, CursorY, TileSize, haloHeight, store.picHalo[1], store.picHalo[3]);
}
