// Carves a city's streets: grows them from the middle cell, two cells per step, in random directions.
#pragma once

#include <list>
#include <vector>

class CityCarver {
public:
    // A position on the lattice of the middle cell that the carve moves on from.
    struct Entry {
        int x;
        int y;
    };

    // Carves into grid (rows of gridWidth street bits), which starts as all building.
    CityCarver(std::vector<std::vector<bool>>& grid, int gridWidth, int gridHeight);

    bool Done() const { return work.empty(); }
    // One step of the entry under the cursor.
    void Step();
    // Steps until every entry has failed.
    void Run();

    // The work list from front to back, and the cursor's place in it (-1 once done).
    std::vector<Entry> Entries() const;
    int CursorIndex() const;

private:
    bool Advance(Entry& entry, int direction);
    bool Inside(const Entry& entry) const;

    std::vector<std::vector<bool>>& cells;
    const int width;
    const int height;
    std::list<Entry> work;
    std::list<Entry>::iterator cursor;
};
