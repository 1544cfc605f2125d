// The explosion burst: start values and their draws, the move step, and how long particles live.
#include "WorldTestSupport.h"
#include "world/CParticle.h"

#include <cmath>
#include <memory>

using WorldTest::ScriptAll;

namespace {

class ParticleTest : public WorldTest::Fixture {
protected:
    void SetUp() override
    {
        WorldTest::Fixture::SetUp();
        // Some 2.4 MB: on the heap, as the game has it.
        particles = std::make_unique<CParticle>();
        ScriptedRand::ResetCount();
    }

    int ActiveCount() const
    {
        int count = 0;
        for (const Particle& p : particles->pool)
            count += p.active ? 1 : 0;
        return count;
    }

    std::unique_ptr<CParticle> particles;
};

} // namespace

TEST_F(ParticleTest, ConstructorReseedsAndFillsNothing)
{
    const auto fresh = std::make_unique<CParticle>();
    EXPECT_EQ(ScriptedRand::Seeds(), 1);
    EXPECT_EQ(ScriptedRand::Calls(), 0);
    for (const Particle& p : fresh->pool)
        ASSERT_FALSE(p.active);
}

TEST_F(ParticleTest, CreateDrawsFadeThenTheThreeSpeeds)
{
    // Remainders by 25, 50, 25 and 50: fade 3 + 0.025, vx -15, vy 4 and vz +24 steps of 0.003.
    // Then the extremes: fade 0.025 with speeds -0.075, 0, -0.075, and fade 24.025 with 0.072 each.
    ScriptAll({ 25 * 7 + 3, 50 * 3 + 10, 25 * 9 + 4, 50 + 49, 0, 0, 0, 0, 24, 49, 24, 49 });
    particles->Create(7);
    particles->Create(8);
    particles->Create(9);
    const Particle& p = particles->pool[7];

    EXPECT_EQ(ScriptedRand::Calls(), 12);
    EXPECT_FLOAT_EQ(p.life, 1.0f);
    EXPECT_FLOAT_EQ(p.fade, 3.025f);
    EXPECT_EQ(std::vector<float>({ p.r, p.g, p.b }), std::vector<float>({ 1.0f, 0.5f, 0.5f }));
    // On the unit circle at 7 radians.
    EXPECT_FLOAT_EQ(p.x, 0.65698660f);
    EXPECT_EQ(p.y, 0.0f);
    EXPECT_FLOAT_EQ(p.z, -0.75390225f);
    EXPECT_FLOAT_EQ(p.vx, -0.045f);
    EXPECT_FLOAT_EQ(p.vy, 0.012f);
    EXPECT_FLOAT_EQ(p.vz, 0.072f);
    EXPECT_TRUE(p.active);

    const Particle& slow = particles->pool[8];
    EXPECT_FLOAT_EQ(slow.fade, 0.025f);
    EXPECT_FLOAT_EQ(slow.vx, -0.075f);
    EXPECT_FLOAT_EQ(slow.vy, 0.0f);
    EXPECT_FLOAT_EQ(slow.vz, -0.075f);
    const Particle& fast = particles->pool[9];
    EXPECT_FLOAT_EQ(fast.fade, 24.025f);
    EXPECT_FLOAT_EQ(fast.vx, 0.072f);
    EXPECT_FLOAT_EQ(fast.vy, 0.072f);
    EXPECT_FLOAT_EQ(fast.vz, 0.072f);
    EXPECT_FALSE(particles->pool[6].active);
}

TEST_F(ParticleTest, InitPutsEveryParticleOnTheUnitCircle)
{
    particles->Init();
    EXPECT_EQ(ScriptedRand::Calls(), 4L * CParticle::poolSize);
    for (int i = 0; i < CParticle::poolSize; ++i) {
        const Particle& p = particles->pool[i];
        ASSERT_TRUE(p.active && p.life == 1.0f && p.y == 0.0f) << i;
        ASSERT_NEAR(p.x * p.x + p.z * p.z, 1.0f, 1e-5f) << i;
        // The angle is the index in radians, repeating every 360 particles.
        if (i >= 360) {
            ASSERT_EQ(p.x, particles->pool[i - 360].x) << i;
            ASSERT_EQ(p.z, particles->pool[i - 360].z) << i;
        }
    }
    EXPECT_EQ(particles->pool[0].x, 0.0f);
    EXPECT_EQ(particles->pool[0].z, -1.0f);
    EXPECT_EQ(particles->pool[360].x, particles->pool[0].x);
    EXPECT_EQ(particles->pool[360].z, particles->pool[0].z);
    EXPECT_FLOAT_EQ(particles->pool[1].x, 0.84147098f);
    EXPECT_FLOAT_EQ(particles->pool[1].z, -0.54030231f);
}

TEST_F(ParticleTest, MoveStepsEveryRecordAndEndsThoseWithoutLife)
{
    ScriptAll({ 0, 30, 20, 10 });
    particles->Init();
    Particle& moving = particles->pool[0];
    const float x0 = moving.x;
    const float z0 = moving.z;

    // Spent and inactive, yet still moved; and one whose life comes to exactly 0.
    Particle& spent = particles->pool[5];
    spent = Particle{ -1.0f, 0.5f, 1, 0.5f, 0.5f, 0, 0, 0, 0.01f, 0.02f, 0.03f, false };
    Particle& exact = particles->pool[6];
    exact.life = 0.5f;
    exact.fade = 0.5f;

    particles->Move();
    EXPECT_FLOAT_EQ(moving.life, 0.975f);
    EXPECT_FLOAT_EQ(moving.x, x0 + 0.015f);
    EXPECT_FLOAT_EQ(moving.y, 0.06f);
    EXPECT_FLOAT_EQ(moving.z, z0 - 0.045f);
    EXPECT_TRUE(moving.active);
    EXPECT_FLOAT_EQ(spent.life, -1.5f);
    EXPECT_EQ(std::vector<float>({ spent.x, spent.y, spent.z }), std::vector<float>({ 0.01f, 0.02f, 0.03f }));
    EXPECT_FALSE(spent.active);
    EXPECT_EQ(exact.life, 0.0f);
    EXPECT_FALSE(exact.active);

    // Life regained by other means does not bring a particle back: only Create does.
    spent.life = 5.0f;
    particles->Move();
    EXPECT_FALSE(spent.active);
}

TEST_F(ParticleTest, SlowParticlesLiveFortyMovesAndNoneFortyOne)
{
    // Particle 0 draws the slow fade 0.025; the rest come from a long pseudo-random stream.
    ScriptAll({ 0, 25, 12, 25 });
    WorldTest::ScriptRandom(2024, 4 * CParticle::poolSize);
    particles->Init();

    // About one particle in 25 (fade 0.025) outlives the first move; all others are spent by it.
    particles->Move();
    const int survivors = ActiveCount();
    EXPECT_GT(survivors, 1700);
    EXPECT_LT(survivors, 2300);
    for (const Particle& p : particles->pool)
        ASSERT_EQ(p.active, p.fade < 1.0f);

    for (int move = 2; move <= 40; ++move)
        particles->Move();
    EXPECT_EQ(ActiveCount(), survivors);
    EXPECT_GT(particles->pool[0].life, 0.0f);
    EXPECT_LT(particles->pool[0].life, 1e-5f);

    particles->Move();
    EXPECT_EQ(ActiveCount(), 0);
}

TEST_F(ParticleTest, InitInTheMiddleOfABurstStartsItOver)
{
    // Particle 1 draws fade 5.025 and vx -0.075, so ten moves surely carry it off its start;
    // the rest come from a seeded stream, so the burst is the same on every run.
    ScriptAll({ 0, 0, 0, 0, 5, 0, 0, 0 });
    WorldTest::ScriptRandom(2025, 4 * (CParticle::poolSize - 2));
    particles->Init();
    const Particle first = particles->pool[1];
    for (int move = 0; move < 10; ++move)
        particles->Move();
    ASSERT_LT(ActiveCount(), CParticle::poolSize / 10);
    ASSERT_NE(particles->pool[1].x, first.x);

    particles->Init();
    EXPECT_EQ(ActiveCount(), CParticle::poolSize);
    for (const Particle& p : particles->pool)
        ASSERT_TRUE(p.life == 1.0f && p.y == 0.0f && std::fabs(p.x * p.x + p.z * p.z - 1.0f) < 1e-5f);
    EXPECT_EQ(particles->pool[1].x, first.x);
    EXPECT_EQ(particles->pool[1].z, first.z);
}
