// The city grid: street and building cells, carved at random from the middle outwards.
#pragma once

#include <vector>

class CCity {
public:
    // Reseeds rand() from the clock, then carves the whole grid; both sizes at least 1.
    CCity(int gridWidth, int gridHeight);
    virtual ~CCity();

    // 0 for a street cell, 2 for a building cell; no range check.
    int Grid(int x, int y) const;

    int width;
    int height;
    // Row y, bit x: set for a street cell. Never changes once the constructor returns.
    std::vector<std::vector<bool>> cells;
};
