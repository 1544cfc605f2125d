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

    // Reseeds rand() from the clock; the table stays empty (all inactive) until Init.
    CParticle();
    virtual ~CParticle();

    // Start values of particle which: four draws, for fade, vx, vy and vz in that order.
    void Create(int which);
    // Create for every particle in table order: a fresh burst on the unit circle.
    void Init();
    // One step of every particle, active or not.
    void Move();
    // The active particles as additive points about the current matrix; needs the GL context.
    void Draw();

    Particle pool[poolSize] = {};
};
