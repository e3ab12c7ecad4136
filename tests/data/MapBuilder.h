#pragma once
// A map of the test's own making, for the battle and for the real programs alike.

#include "data/MapFile.h"
#include "data/Records.h"

#include <tuple>

// Builds a map: one terrain unless painted, units and buildings by tile column and row.
struct MapBuilder {
    mapfile::MapDocument map;
    int nextUnit = 1;
    int nextBuilding = 1;

    explicit MapBuilder(int width = 6, int height = 3, std::int16_t terrain = 0)
    {
        map.MapWidth = static_cast<std::int16_t>(width);
        map.MapHeight = static_cast<std::int16_t>(height);
        map.TileCount = width * height;
        for (int i = 1; i <= width * height; ++i)
            map.EdTile[i] = terrain;
    }
    MapBuilder& tile(int column, int row, std::int16_t terrain)
    {
        map.EdTile[row * map.MapWidth + column + 1] = terrain;
        return *this;
    }
    // Each returns the slot it filled; a unit stands 2 pixels above its tile.
    int unit(int type, int owner, int column, int row)
    {
        std::tie(map.EdUnitType[nextUnit], map.EdUnitPlayer[nextUnit], map.EdUnitLeft[nextUnit], map.EdUnitTop[nextUnit]) =
            std::tuple<std::int16_t, std::int16_t, std::int16_t, std::int16_t>(type, owner, column * TileSize, row * TileSize - UnitRaise);
        return nextUnit++;
    }
    int building(int type, int owner, int column, int row)
    {
        std::tie(map.EdBuildingType[nextBuilding], map.EdBuildingPlayer[nextBuilding], map.EdBuildingLeft[nextBuilding],
                 map.EdBuildingTop[nextBuilding]) =
            std::tuple<std::int16_t, std::int16_t, std::int16_t, std::int16_t>(type, owner, column * TileSize, row * TileSize);
        return nextBuilding++;
    }
    MapBuilder& headquarters(int player, int slot)
    {
        map.EdHQ[player] = static_cast<std::int16_t>(slot);
        return *this;
    }
};
