// The game's scene drawn the cheapest plain way: one vertex buffer and one draw per kind.
#pragma once

#include <GL/gl.h>

class CApp;

// Floor tiles, buildings and zombie points as the game places them, baked once into
// buffer objects in city coordinates; Draw renders and presents one frame of them.
class ReferenceScene {
public:
    explicit ReferenceScene(CApp& app);
    ~ReferenceScene();
    ReferenceScene(const ReferenceScene&) = delete;
    ReferenceScene& operator=(const ReferenceScene&) = delete;

    void Draw();

    int FloorVertexCount() const { return floorCount; }
    int BuildingVertexCount() const { return buildingCount; }
    int ZombieCount() const { return zombieCount; }

private:
    CApp& app;
    GLuint buffers[3] = {};
    GLsizei floorCount = 0;
    GLsizei buildingCount = 0;
    GLsizei zombieCount = 0;
};
