// The pick animation on the real game, frame by frame on a held clock: every phase starts
// and ends on its very millisecond, the explosion starts once per pick even when no frame
// falls just before the blast, and the flash shines from the blast.
#include "app/CApp.h"
#include "app_gl/GameWindow.h"
#include "support/ScriptedClock.h"
#include "support/SdlEvents.h"
#include "world/CParticle.h"
#include "world/CZombie.h"
#include "world/SceneGeometry.h"

#include <GL/gl.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The inner radius of every disk drawn since the last frame began (see gluDisk below).
std::vector<double> diskInnerRadii;

const double markerInnerRadius = 0.4;

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

// A pick on tile (10, 14) accepted at a held tick count; each frame is drawn at a held
// number of milliseconds after it.
class PickAnimation : public testing::Test {
protected:
    static constexpr Uint32 clickTicks = 100000;
    static constexpr int column = 10;
    static constexpr int row = 14;

    void SetUp() override
    {
        app.pickedName = 0;
        Click(clickTicks);
        ASSERT_EQ(PickStartTime(), static_cast<int>(clickTicks));
        // Wherever the click landed, the animation plays on this tile.
        app.pickedName = scene::TileName(column, row, app.cityWidth);
    }

    // As in the game, every pick runs to its end: the flash goes out, the next click counts.
    void TearDown() override
    {
        if (app.pickedName != 0)
            FrameAt(4001);
        ScriptedClock::Release();
    }

    void Click(Uint32 ticks)
    {
        ScriptedClock::Hold(ticks);
        SDL_Event click = LeftClick(512, 384);
        app.OnEvent(&click);
    }

    void FrameAt(int sinceClick)
    {
        diskInnerRadii.clear();
        ScriptedClock::Hold(clickTicks + sinceClick);
        app.Render(false);
    }

    static int Disks(bool markers)
    {
        int count = 0;
        for (const double inner : diskInnerRadii)
            count += (inner == markerInnerRadius) == markers ? 1 : 0;
        return count;
    }
    static bool DrewMarker() { return Disks(true) > 0; }
    static bool DrewRing() { return Disks(false) > 0; }

    // Puts the first zombie on the picked tile's centre, alive.
    void ZombieOnTheTile()
    {
        app.zombies->horde[0] = ZombieSlot{64.0f * column, 64.0f * row, true};
    }

    CApp& app = Game();
};

TEST_F(PickAnimation, TheMarkerShowsUntil1900AndNotAFrameLonger)
{
    FrameAt(0);
    EXPECT_TRUE(DrewMarker());
    FrameAt(1899);
    EXPECT_TRUE(DrewMarker());
    FrameAt(1900);
    EXPECT_FALSE(DrewMarker());
    EXPECT_FALSE(DrewRing());
}

TEST_F(PickAnimation, TheExplosionStartsOnceOnTheFirstFrameAfter1900)
{
    SpendParticles(*app.particles);
    FrameAt(1900);
    EXPECT_EQ(ActiveParticles(*app.particles), 0) << "the explosion started at 1900";
    FrameAt(1901);
    EXPECT_GT(ActiveParticles(*app.particles), 0) << "no burst at 1901";

    SpendParticles(*app.particles);
    FrameAt(1950);
    FrameAt(2050);
    EXPECT_EQ(ActiveParticles(*app.particles), 0) << "the explosion started a second time";
}

TEST_F(PickAnimation, KillsAndTheFlashBeginAfter2000)
{
    ZombieOnTheTile();
    FrameAt(2000);
    EXPECT_TRUE(app.zombies->horde[0].alive) << "killed at 2000";
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1)) << "flash at 2000";
    FrameAt(2001);
    EXPECT_FALSE(app.zombies->horde[0].alive) << "not killed at 2001";
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1)) << "no flash at 2001";
}

TEST_F(PickAnimation, TheRingWidensFrom2100)
{
    FrameAt(2100);
    EXPECT_FALSE(DrewRing());
    FrameAt(2101);
    ASSERT_TRUE(DrewRing());
    EXPECT_NEAR(diskInnerRadii.front(), 0.007, 1e-9);
}

TEST_F(PickAnimation, TheFlashLastsTo2200)
{
    FrameAt(2001);
    FrameAt(2200);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1)) << "the flash ended at 2200";
    FrameAt(2201);
    EXPECT_FALSE(glIsEnabled(GL_LIGHT1)) << "the flash still shines at 2201";
}

TEST_F(PickAnimation, TheNextClickIsTakenOnlyAfter4000)
{
    const int picked = app.pickedName;
    FrameAt(4000);
    EXPECT_EQ(app.pickedName, picked) << "the animation ended at 4000";
    Click(clickTicks + 4000);
    EXPECT_EQ(PickStartTime(), static_cast<int>(clickTicks)) << "a click during the animation was taken";

    FrameAt(4001);
    EXPECT_EQ(app.pickedName, 0) << "the animation still runs at 4001";
    Click(clickTicks + 4001);
    EXPECT_EQ(PickStartTime(), static_cast<int>(clickTicks + 4001)) << "the click after the animation was lost";
}

TEST_F(PickAnimation, ExplodesOnceWhenTheFirstFrameAfterTheMarkerComesInTheBlast)
{
    ZombieOnTheTile();
    SpendParticles(*app.particles);
    FrameAt(2050);
    EXPECT_GT(ActiveParticles(*app.particles), 0) << "no burst: the explosion never started";
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_FALSE(app.zombies->horde[0].alive);

    SpendParticles(*app.particles);
    FrameAt(2300);
    EXPECT_EQ(ActiveParticles(*app.particles), 0) << "the explosion started a second time";
}

TEST_F(PickAnimation, TheFlashShinesFromTheBlast)
{
    FrameAt(1950);
    // GL keeps light positions in eye coordinates: the blast point under the scene's matrix.
    GLfloat scene[16], light[4];
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    app.LookAtScene();
    glGetFloatv(GL_MODELVIEW_MATRIX, scene);
    glPopMatrix();
    glGetLightfv(GL_LIGHT1, GL_POSITION, light);
    const float blast[3] = {scene::CellX(column), 0.01f, scene::CellZ(row)};
    for (int axis = 0; axis < 3; ++axis) {
        const float expected =
            scene[axis] * blast[0] + scene[4 + axis] * blast[1] + scene[8 + axis] * blast[2] + scene[12 + axis];
        EXPECT_NEAR(light[axis], expected, 1e-3) << "axis " << axis;
    }
}

} // namespace

// Records the disks the game draws, then draws them with GLU's own gluDisk.
extern "C" void gluDisk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops)
{
    using Disk = void (*)(GLUquadric*, GLdouble, GLdouble, GLint, GLint);
    static const Disk gluOwn = reinterpret_cast<Disk>(dlsym(RTLD_NEXT, "gluDisk"));
    diskInnerRadii.push_back(inner);
    gluOwn(quadric, inner, outer, slices, loops);
}
