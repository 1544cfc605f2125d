// The game's OBJ/MTL reader next to tinyobjloader on one generated model.
#pragma once

#include "BenchSupport.h"

struct ReaderResults {
    bool generated = false;
    int triangles = 0;
    long fileBytes = 0;
    Measure game;
    Measure tinyobj;
    // Faces each reader found; both should equal `triangles`.
    int gameFaces = 0;
    int tinyobjFaces = 0;
};

// A grid model of at least minTriangles triangles in a temporary folder, read `runs`
// times by each reader in turn; the game reader's trace goes to /dev/null.
ReaderResults MeasureReader(int minTriangles, int runs);
