// The zombie horde: placement on street cells, the blast's kill test, and drawing as points.
#include "world/CZombie.h"

#include "world/CCity.h"
#include "world/SceneGeometry.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>

namespace {

const int cellUnits = 64;       // a zombie position counts sixty-fourths of a cell
const float killRadius = 5.0f;  // world units around the blast point

float WorldUnits(float position)
{
    return scene::cellSize * position / cellUnits;
}

} // namespace

const int CZombie::slotCount;

CZombie::CZombie(int number, CCity* city, int columns, int rows)
    : total(number < slotCount ? number : slotCount), gridWidth(columns), gridHeight(rows)
{
    if (total <= 0 || !HasStandingRoom(city))
        return;
    for (int i = 0; i < total; ++i)
        Place(city, i);
}

CZombie::~CZombie() {}

int CZombie::ZombieAmount()
{
    int amount = 0;
    for (int i = 0; i < total; ++i) {
        if (horde[i].alive)
            ++amount;
    }
    return amount;
}

void CZombie::Kill(float px, float pz)
{
    for (int i = 0; i < total; ++i) {
        ZombieSlot& zombie = horde[i];
        const float dx = WorldUnits(zombie.x) - px;
        const float dz = WorldUnits(zombie.z) - pz;
        if (zombie.alive && std::sqrt(dx * dx + dz * dz) < killRadius)
            zombie.alive = false;
    }
}

// Zombies stand still; the draws keep the shared rand() stream where the rest of the game expects it.
void CZombie::Move(CCity*)
{
    for (int i = 0; i < total; ++i) {
        if (horde[i].alive)
            std::rand();
    }
}

void CZombie::Draw()
{
    glPushMatrix();
    glPointSize(5);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glTranslatef(0, 1, 0);
    glBegin(GL_POINTS);
    glColor4f(1, 1, 1, 1);
    for (int i = 0; i < total; ++i) {
        const ZombieSlot& zombie = horde[i];
        if (zombie.alive)
            glVertex3f(WorldUnits(zombie.x), 0, -WorldUnits(zombie.z));
    }
    glEnd();
    glPopMatrix();
}

void CZombie::Create(CCity* city, int which)
{
    if (HasStandingRoom(city)) {
        Place(city, which);
    } else {
        horde[which] = ZombieSlot{};
    }
}

// Placement never reaches the last column or row; without a street elsewhere it could never end.
bool CZombie::HasStandingRoom(const CCity* city) const
{
    for (int row = 0; row < gridHeight - 1; ++row) {
        for (int column = 0; column < gridWidth - 1; ++column) {
            if (city->Grid(column, row) == 0)
                return true;
        }
    }
    return false;
}

// Draws both coordinates again until the spot lies on a street cell.
void CZombie::Place(const CCity* city, int which)
{
    int x;
    int z;
    do {
        x = std::rand() % ((gridWidth - 1) * cellUnits);
        z = std::rand() % ((gridHeight - 1) * cellUnits);
    } while (city->Grid(x / cellUnits, z / cellUnits) != 0);
    horde[which] = ZombieSlot{ static_cast<float>(x), static_cast<float>(z), true };
}
