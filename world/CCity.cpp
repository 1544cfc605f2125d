// The city grid, carved once in its constructor and only read afterwards.
#include "world/CCity.h"

#include "world/CityCarver.h"

#include <cstdlib>
#include <ctime>

// Two cities of one size built within the same second come out the same.
CCity::CCity(int gridWidth, int gridHeight)
{
    std::srand(static_cast<unsigned int>(std::time(nullptr)));
    width = gridWidth;
    height = gridHeight;
    cells.assign(height, std::vector<bool>(width, false));
    CityCarver(cells, width, height).Run();
}

CCity::~CCity() {}

int CCity::Grid(int x, int y) const
{
    return cells[y][x] ? 0 : 2;
}
