// The zombie horde: a fixed table of zombies standing on street cells.
#pragma once

class CCity;

struct ZombieSlot {
    float x;     // sixty-fourths of a cell along the columns
    float z;     // sixty-fourths of a cell along the rows (positive)
    bool alive;
};

class CZombie {
public:
    static const int slotCount = 255;

    CZombie(int number, CCity* city, int columns, int rows);
    virtual ~CZombie();

    int ZombieAmount();
    void Kill(float px, float pz);
    void Move(CCity* city);
    void Draw();
    void Create(CCity* city, int which);
};
