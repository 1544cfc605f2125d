// The building model: a growable named list, the OBJ/MTL reader and the display-list loader.
#pragma once

class objLoader {
public:
    int load(const char* filename);
    void Draw();
};
