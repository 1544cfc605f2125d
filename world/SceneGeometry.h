// Where the city stands in the scene and how the camera sees it: the one source of the
// cell and tile sizes, the buildings' placement, the tile names and the lens, shared by the
// frame, the pick pass, the zombies, the benchmark and the tests.
#pragma once

#include <GL/glu.h>

namespace scene {

// One city cell is cellSize world units square. Cell (column, row) has its centre at
// (cellSize * column, 0, -cellSize * row): columns run along +x, rows along -z, +y is up.
constexpr float cellSize = 1.5f;
// A floor tile reaches this far from its cell's centre each way: it covers one cell.
constexpr float tileHalfSize = cellSize / 2;
// The building model stands this high above its cell's centre, scaled this much across.
constexpr float buildingLift = 0.85f;
constexpr float buildingScale = 0.55f;

// The camera starts here, looking down at the origin.
constexpr float startEyeX = 0;
constexpr float startEyeY = 50;
constexpr float startEyeZ = 10;

// The lens: vertical field of view in degrees and the near and far planes.
constexpr double fieldOfView = 45.0;
constexpr double nearPlane = 0.1;
constexpr double farPlane = 100.0;

inline float CellX(int column) { return cellSize * column; }
inline float CellZ(int row) { return -cellSize * row; }

// The shift that puts the middle of a city of this many columns and rows at the origin.
inline float CityOffsetX(int columns) { return -columns * cellSize * 0.5f; }
inline float CityOffsetZ(int rows) { return rows * cellSize * 0.5f; }

// A floor tile's selection name counts the tiles row by row from 1; 0 names no tile.
inline int TileName(int column, int row, int columns) { return row * columns + column + 1; }
inline int TileColumn(int name, int columns) { return (name - 1) % columns; }
inline int TileRow(int name, int columns) { return (name - 1) / columns; }

// The aspect is the window's width over its height in whole numbers: 1 for 1024 x 768, so
// the picture is stretched a third wider than the lens sees. That is how the game has
// always looked, and where every click lands; it is kept, not corrected.
constexpr int Aspect(int width, int height) { return width / height; }

// Multiplies the current matrix by the scene's perspective for a window of this size.
inline void MultPerspective(int width, int height)
{
    gluPerspective(fieldOfView, static_cast<GLdouble>(Aspect(width, height)), nearPlane, farPlane);
}

} // namespace scene
