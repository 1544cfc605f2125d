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

    // Places zombies 0 to number - 1 on random street spots of the city, continuing the rand()
    // stream. A number above slotCount is cut to slotCount; zero or less places none. Where no
    // street cell lies in columns 0 to columns - 2 and rows 0 to rows - 2, no zombie is placed.
    CZombie(int number, CCity* city, int columns, int rows);
    virtual ~CZombie();

    // Live zombies among the first total slots.
    int ZombieAmount();
    // Kills every live zombie less than 5.0 world units from (px, pz), pz positive along the rows.
    void Kill(float px, float pz);
    // Per-frame update: moves nobody, draws and discards one rand() per live zombie.
    void Move(CCity* city);
    // The live zombies as white points one unit above the floor; needs the GL context.
    void Draw();
    // Places slot which anew on a random street spot and makes it alive; with no street to
    // stand on, leaves it dead at (0, 0).
    void Create(CCity* city, int which);

    int total;
    int gridWidth;
    int gridHeight;
    ZombieSlot horde[slotCount] = {};

private:
    bool HasStandingRoom(const CCity* city) const;
    void Place(const CCity* city, int which);
};
