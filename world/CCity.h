// The city grid: street and building cells, carved at random from the middle outwards.
#pragma once

class CCity {
public:
    CCity(int width, int height);
    virtual ~CCity();

    // 0 for a street cell, 2 for a building cell; no range check.
    int Grid(int x, int y) const;
};
