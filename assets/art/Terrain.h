#pragma once
// Terrain surfaces that other pictures stand on.

#include "Field.h"

namespace art {

// The starfield of open space, repeating every tile.
Surf spaceAt(double x, double y);
// The metal floor plate, one plate per tile.
Surf floorAt(double x, double y);

}  // namespace art
