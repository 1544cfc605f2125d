#include "world/CZombie.h"
CZombie::CZombie(int, CCity*, int, int) {}
CZombie::~CZombie() {}
int CZombie::ZombieAmount() { return 50; }
void CZombie::Kill(float, float) {}
void CZombie::Move(CCity*) {}
void CZombie::Draw() {}
void CZombie::Create(CCity*, int) {}
