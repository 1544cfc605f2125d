// The explosion burst: a fixed table of additive particles, refilled by every blast.
#pragma once

struct Particle {
    float life;
    float fade;
    float r, g, b;
    float x, y, z;
    float vx, vy, vz;
    bool active;
};

class CParticle {
public:
    static const int poolSize = 50000;

    CParticle();
    virtual ~CParticle();

    void Create(int which);
    void Init();
    void Move();
    void Draw();

    Particle pool[poolSize];
};
