// The explosion burst: start values on the unit circle, the per-frame step and additive drawing.
#include "world/CParticle.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace {

const float speedStep = 0.003f;   // world units per move for each unit of a speed draw

} // namespace

const int CParticle::poolSize;

CParticle::CParticle()
{
    std::srand(static_cast<unsigned int>(std::time(nullptr)));
}

CParticle::~CParticle() {}

void CParticle::Create(int which)
{
    Particle& p = pool[which];
    p.life = 1.0f;
    // The whole number 0 to 24 plus 0.025: only a draw of 0 gives a particle that lives past one move.
    p.fade = static_cast<float>(std::rand() % 25) + 0.025f;
    p.r = 1.0f;
    p.g = 0.5f;
    p.b = 0.5f;
    // The index taken as radians, not degrees: irregular points on the unit circle.
    const double angle = which % 360;
    p.x = static_cast<float>(std::sin(angle));
    p.y = 0.0f;
    p.z = -static_cast<float>(std::cos(angle));
    p.vx = static_cast<float>(std::rand() % 50 - 25) * speedStep;
    p.vy = static_cast<float>(std::rand() % 25) * speedStep;
    p.vz = static_cast<float>(std::rand() % 50 - 25) * speedStep;
    p.active = true;
}

void CParticle::Init()
{
    for (int i = 0; i < poolSize; ++i)
        Create(i);
}

void CParticle::Move()
{
    for (Particle& p : pool) {
        p.life -= p.fade;
        p.x += p.vx;
        p.y += p.vy;
        p.z += p.vz;
        if (!(p.life > 0.0f))
            p.active = false;
    }
}

void CParticle::Draw()
{
    glPointSize(2);
    glEnable(GL_BLEND);
    glBegin(GL_POINTS);
    for (const Particle& p : pool) {
        if (p.active) {
            glColor4f(p.r, p.g, p.b, p.life);
            glVertex3f(p.x, p.y, p.z);
        }
    }
    glEnd();
    glDisable(GL_BLEND);
}
