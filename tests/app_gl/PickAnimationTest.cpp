// The pick animation on the real game: the explosion starts once per pick, also when no
// frame falls between 1.9 and 2.0 s, and its flash shines from the blast.
#include "app/CApp.h"
#include "app_gl/GameWindow.h"
#include "world/CParticle.h"
#include "world/CZombie.h"

#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>

namespace {

int ActiveParticles(const CParticle& particles)
{
    int active = 0;
    for (const Particle& p : particles.pool)
        active += p.active ? 1 : 0;
    return active;
}

// Spends every particle, so that only a refill can make one active again.
void SpendParticles(CParticle& particles)
{
    for (int move = 0; move < 41; ++move)
        particles.Move();
    ASSERT_EQ(ActiveParticles(particles), 0);
}

// A left click at window position (x, y), as SDL delivers it.
void Click(CApp& app, Uint16 x, Uint16 y)
{
    SDL_Event click{};
    click.type = SDL_MOUSEBUTTONDOWN;
    click.button.button = SDL_BUTTON_LEFT;
    click.button.x = x;
    click.button.y = y;
    app.OnEvent(&click);
}

int SinceClick() { return static_cast<int>(SDL_GetTicks()) - PickStartTime(); }

void WaitUntilSinceClick(int milliseconds)
{
    while (SinceClick() < milliseconds)
        SDL_Delay(1);
}

// The scene's model-view matrix as the frame sets it up.
void SceneMatrix(const CApp& app, GLfloat matrix[16])
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(app.eyeX, app.eyeY, app.eyeZ, app.centerX, app.centerY, app.centerZ, 0, 1, 0);
    glTranslatef(app.sceneOffsetX, 0, app.sceneOffsetZ);
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    glPopMatrix();
}

TEST(PickAnimation, ExplodesOnceEvenWhenNoFrameFallsInTheLastTenthBeforeTwoSeconds)
{
    CApp& app = Game();
    app.pickedName = 0;
    // The first frames of a fresh window are slow; the timing below needs ordinary ones.
    app.Render(false);
    app.Render(false);
    // Tile (10, 14): the click lands on it from the starting camera.
    Click(app, 421, 337);
    ASSERT_GT(app.pickedName, 0);
    const float x = 1.5f * ((app.pickedName - 1) % app.cityWidth);
    const float z = 1.5f * ((app.pickedName - 1) / app.cityWidth);

    // The first frame after the click comes only at 2.05 s.
    SpendParticles(*app.particles);
    WaitUntilSinceClick(2050);
    app.Render(false);
    EXPECT_GT(ActiveParticles(*app.particles), 0) << "no burst: the explosion never started";
    // The flash is on when the frame ran before 2.2 s, which only a stalled machine misses.
    if (SinceClick() <= 2200) {
        EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    }

    // Later frames of the blast do not start it again.
    SpendParticles(*app.particles);
    app.Render(false);
    WaitUntilSinceClick(2300);
    app.Render(false);
    EXPECT_EQ(ActiveParticles(*app.particles), 0) << "the explosion started a second time";
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1)) << "the flash lasts past 2.2 s";

    for (int i = 0; i < app.zombies->total; ++i) {
        const ZombieSlot& zombie = app.zombies->horde[i];
        const float distance = std::hypot(1.5f * zombie.x / 64 - x, 1.5f * zombie.z / 64 - z);
        EXPECT_FALSE(zombie.alive && distance < 5.0f) << "zombie " << i << " survived the blast";
    }
    WaitUntilSinceClick(4001);
    app.Render(false);
    EXPECT_EQ(app.pickedName, 0);
}

TEST(PickAnimation, TheFlashShinesFromTheBlast)
{
    CApp& app = Game();
    app.pickedName = 0;
    Click(app, 600, 500);
    ASSERT_GT(app.pickedName, 0);
    WaitUntilSinceClick(1950);
    app.Render(false);

    // GL keeps light positions in eye coordinates: the blast point under the scene matrix.
    GLfloat scene[16], light[4];
    SceneMatrix(app, scene);
    glGetLightfv(GL_LIGHT1, GL_POSITION, light);
    const float bx = 1.5f * ((app.pickedName - 1) % app.cityWidth);
    const float by = 0.01f;
    const float bz = -1.5f * ((app.pickedName - 1) / app.cityWidth);
    for (int row = 0; row < 3; ++row) {
        const float expected = scene[row] * bx + scene[4 + row] * by + scene[8 + row] * bz + scene[12 + row];
        EXPECT_NEAR(light[row], expected, 1e-3) << "coordinate " << row;
    }
    WaitUntilSinceClick(4001);
    app.Render(false);
    EXPECT_EQ(app.pickedName, 0);
}

} // namespace
