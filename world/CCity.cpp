#include "world/CCity.h"
CCity::CCity(int, int) {}
CCity::~CCity() {}
int CCity::Grid(int, int) const { return 0; }
