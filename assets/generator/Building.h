// The building model: a brick block of four storeys with a glass tower set back on it.
#pragma once

#include "Mesh.h"

// Model units: the game scales x and z by 0.55 and lifts the model by 0.85, so the base
// stands at y = -0.85 and a footprint of +-1.2 leaves a thin street gap to the neighbour.
Mesh BuildBuilding();
