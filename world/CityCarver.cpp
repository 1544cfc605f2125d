// The street carver: a work list of moving entries, walked by a cursor that wraps around.
#include "world/CityCarver.h"

#include <cstdlib>
#include <iterator>

namespace {

// Unit steps by direction (rand() % 4): up the rows, down the rows, left, right.
const int stepX[4] = { 0, 0, -1, 1 };
const int stepY[4] = { -1, 1, 0, 0 };

} // namespace

// The middle cell is not opened here: it stays a building until some step lands on it.
CityCarver::CityCarver(std::vector<std::vector<bool>>& grid, int gridWidth, int gridHeight)
    : cells(grid), width(gridWidth), height(gridHeight), work{ { gridWidth / 2, gridHeight / 2 } },
      cursor(work.begin())
{
}

void CityCarver::Step()
{
    const int direction = std::rand() % 4;
    if (Advance(*cursor, direction)) {
        work.push_back(*cursor);
        if (std::rand() & 1)
            work.push_back(*cursor);
        cells[cursor->y][cursor->x] = true;
        ++cursor;
    } else {
        cursor = work.erase(cursor);
    }
    if (cursor == work.end())
        cursor = work.begin();
}

void CityCarver::Run()
{
    while (!Done())
        Step();
}

// Moves the entry two cells at once; when it may go there, opens the cell it passed over.
bool CityCarver::Advance(Entry& entry, int direction)
{
    const int halfX = entry.x + stepX[direction];
    const int halfY = entry.y + stepY[direction];
    entry.x = halfX + stepX[direction];
    entry.y = halfY + stepY[direction];
    if (!Inside(entry))
        return false;
    // Only upward steps may, one time in five, land on a street: that closes a loop.
    if (cells[entry.y][entry.x] && !(direction == 0 && std::rand() % 5 == 0))
        return false;
    cells[halfY][halfX] = true;
    return true;
}

bool CityCarver::Inside(const Entry& entry) const
{
    return entry.x >= 0 && entry.x < width && entry.y >= 0 && entry.y < height;
}

std::vector<CityCarver::Entry> CityCarver::Entries() const
{
    return std::vector<Entry>(work.begin(), work.end());
}

int CityCarver::CursorIndex() const
{
    if (work.empty())
        return -1;
    return static_cast<int>(std::distance(work.begin(), std::list<Entry>::const_iterator(cursor)));
}
