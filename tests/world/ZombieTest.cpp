// The zombie horde: placement on streets, the kill radius, and the draws of the per-frame update.
#include "WorldTestSupport.h"
#include "world/CZombie.h"

#include <cmath>
#include <memory>

using WorldTest::ScriptAll;

namespace {

class ZombieTest : public WorldTest::Fixture {
protected:
    // A 5 x 5 city whose only streets are (3, 2) and (4, 2). Zombies stand in columns 0 to 3 and
    // rows 0 to 3 only, so all of them stand on (3, 2): x in 192..255, z in 128..191.
    void SetUp() override
    {
        WorldTest::Fixture::SetUp();
        ScriptAll({ 3, 0, 3, 3 });
        city = std::make_unique<CCity>(5, 5);
        ASSERT_EQ(ScriptedRand::Pending(), 0);
        ScriptedRand::ResetCount();
    }

    // A horde placed on (3, 2) and then moved to the given spots, with the draw count reset.
    std::unique_ptr<CZombie> HordeAt(const std::vector<std::pair<float, float>>& spots)
    {
        for (size_t i = 0; i < spots.size(); ++i)
            ScriptAll({ 200, 130 });
        auto horde = std::make_unique<CZombie>(static_cast<int>(spots.size()), city.get(), 5, 5);
        for (size_t i = 0; i < spots.size(); ++i) {
            horde->horde[i].x = spots[i].first;
            horde->horde[i].z = spots[i].second;
        }
        ScriptedRand::ResetCount();
        return horde;
    }

    std::unique_ptr<CCity> city;
};

} // namespace

TEST_F(ZombieTest, PlacesEachSlotInTurnRedrawingBothCoordinatesOffStreet)
{
    // Slot 0: (202, 0) lies on (3, 0), a building, so x and z are both drawn again: (200, 140).
    // Slot 1: 511 mod 256 = 255 and 384 mod 256 = 128, on (3, 2) at once.
    ScriptAll({ 202, 0, 200, 140, 511, 384 });
    const CZombie horde(2, city.get(), 5, 5);

    EXPECT_EQ(horde.total, 2);
    EXPECT_EQ(horde.gridWidth, 5);
    EXPECT_EQ(horde.gridHeight, 5);
    EXPECT_EQ(horde.horde[0].x, 200.0f);
    EXPECT_EQ(horde.horde[0].z, 140.0f);
    EXPECT_TRUE(horde.horde[0].alive);
    EXPECT_EQ(horde.horde[1].x, 255.0f);
    EXPECT_EQ(horde.horde[1].z, 128.0f);
    EXPECT_TRUE(horde.horde[1].alive);
    EXPECT_FALSE(horde.horde[2].alive);
    EXPECT_EQ(ScriptedRand::Calls(), 6);
    EXPECT_EQ(ScriptedRand::Seeds(), 0);
}

TEST_F(ZombieTest, LastColumnIsNeverReached)
{
    // (4, 2) is a street too, but x is drawn modulo 4 * 64: the draw 512 lands at 0, a building,
    // 300 at 44, a building again; only 250 reaches the street in column 3.
    ScriptAll({ 512, 150, 300, 150, 250, 150 });
    const CZombie horde(1, city.get(), 5, 5);
    EXPECT_EQ(horde.horde[0].x, 250.0f);
    EXPECT_EQ(ScriptedRand::Calls(), 6);
}

TEST_F(ZombieTest, PlacementContinuesTheCitysStream)
{
    ScriptAll({ 3, 0, 3, 3, 0, 0, 202, 133 });
    CCity ownCity(5, 5);
    const CZombie horde(1, &ownCity, 5, 5);
    EXPECT_EQ(ScriptedRand::Pending(), 0);
    EXPECT_EQ(horde.horde[0].x, 202.0f);
    EXPECT_EQ(horde.horde[0].z, 133.0f);
}

TEST_F(ZombieTest, CountsOutsideTheTable)
{
    for (const int count : { 0, -1 }) {
        CZombie horde(count, city.get(), 5, 5);
        EXPECT_EQ(horde.ZombieAmount(), 0) << count;
        horde.Move(city.get());
        EXPECT_EQ(ScriptedRand::Calls(), 0) << count;
    }
    // Cut to the table, never written past it; unscripted draws find (3, 2) one time in sixteen.
    CZombie horde(1000, city.get(), 5, 5);
    EXPECT_EQ(horde.total, CZombie::slotCount);
    EXPECT_EQ(horde.ZombieAmount(), CZombie::slotCount);
}

TEST_F(ZombieTest, GivesUpWhereNoStreetCanBeReached)
{
    // A 3 x 3 city has no street; a grid one column wide leaves no column to draw from.
    ScriptedRand::Clear();
    CCity solid(3, 3);
    ScriptedRand::ResetCount();
    CZombie onSolid(5, &solid, 3, 3);
    CZombie tooNarrow(5, city.get(), 1, 5);
    EXPECT_EQ(onSolid.ZombieAmount(), 0);
    EXPECT_EQ(tooNarrow.ZombieAmount(), 0);
    EXPECT_EQ(ScriptedRand::Calls(), 0);

    onSolid.Create(&solid, 2);
    EXPECT_FALSE(onSolid.horde[2].alive);
    EXPECT_EQ(onSolid.horde[2].x, 0.0f);
    EXPECT_EQ(onSolid.horde[2].z, 0.0f);
}

TEST_F(ZombieTest, EveryZombieOfAGameSizedCityStandsOnAStreet)
{
    for (unsigned seed = 1; seed <= 30; ++seed) {
        ScriptedRand::Clear();
        WorldTest::ScriptRandom(seed, 30000);
        CCity big(25, 25);
        CZombie horde(50, &big, 25, 25);
        ASSERT_GT(ScriptedRand::Pending(), 0) << "seed " << seed;

        EXPECT_EQ(horde.ZombieAmount(), 50);
        for (int i = 0; i < 50; ++i) {
            const ZombieSlot& z = horde.horde[i];
            EXPECT_EQ(z.x, std::floor(z.x));
            EXPECT_EQ(z.z, std::floor(z.z));
            EXPECT_TRUE(z.x >= 0 && z.x < 24 * 64 && z.z >= 0 && z.z < 24 * 64) << z.x << ", " << z.z;
            EXPECT_EQ(big.Grid(static_cast<int>(z.x) / 64, static_cast<int>(z.z) / 64), 0)
                << "slot " << i << ", seed " << seed;
        }
    }
}

TEST_F(ZombieTest, KillTakesThoseStrictlyInsideFiveUnitsRowsPositive)
{
    // World units are 1.5 / 64 of a position: 128 is 3.0.
    auto horde = HordeAt({ { 0, 0 }, { 128, 0 }, { 0, 128 }, { 640, 640 } });

    // Exactly 5.0 from the zombie at (0, 0) spares it; 4.0 and about 3.2 do not.
    horde->Kill(3.0f, 4.0f);
    EXPECT_TRUE(horde->horde[0].alive);
    EXPECT_FALSE(horde->horde[1].alive);
    EXPECT_FALSE(horde->horde[2].alive);
    EXPECT_TRUE(horde->horde[3].alive);

    horde->Kill(3.0f, 3.999f);
    EXPECT_FALSE(horde->horde[0].alive);

    // The zombie at (15, 15) is 6 units from (15, 21) but 36 from (15, -21): rows count positive.
    horde->Kill(15.0f, -21.0f);
    EXPECT_TRUE(horde->horde[3].alive);
    horde->Kill(15.0f, 19.0f);
    EXPECT_FALSE(horde->horde[3].alive);
    EXPECT_EQ(horde->ZombieAmount(), 0);
}

TEST_F(ZombieTest, KillWithNobodyNearChangesNothing)
{
    auto horde = HordeAt({ { 200, 130 }, { 250, 190 } });
    horde->Kill(100.0f, 100.0f);
    horde->Kill(100.0f, 100.0f);
    EXPECT_EQ(horde->ZombieAmount(), 2);
    EXPECT_EQ(horde->horde[0].x, 200.0f);
    EXPECT_EQ(horde->horde[1].z, 190.0f);
    EXPECT_EQ(ScriptedRand::Calls(), 0);
}

TEST_F(ZombieTest, MoveChangesNoSlotAndDrawsOncePerLiveZombie)
{
    auto horde = HordeAt({ { 0, 0 }, { 200, 130 }, { 640, 640 } });
    ScriptAll({ 11, 22, 33, 44 });
    // The city is not consulted.
    horde->Move(nullptr);
    EXPECT_EQ(ScriptedRand::Pending(), 1);
    EXPECT_EQ(horde->horde[1].x, 200.0f);
    EXPECT_EQ(horde->horde[1].z, 130.0f);
    EXPECT_EQ(horde->ZombieAmount(), 3);

    // Only (0, 0) lies within 5 units of the origin; the one at about (4.7, 3.0) is 5.6 away.
    horde->Kill(0, 0);
    ScriptedRand::ResetCount();
    horde->Move(city.get());
    EXPECT_EQ(ScriptedRand::Calls(), 2);
}

TEST_F(ZombieTest, CreateRevivesASlotOnANewSpot)
{
    auto horde = HordeAt({ { 0, 0 }, { 200, 130 } });
    horde->Kill(0, 0);
    ASSERT_EQ(horde->ZombieAmount(), 1);

    // (10, 10) lies on (0, 0), a building: drawn again.
    ScriptAll({ 10, 10, 230, 170 });
    horde->Create(city.get(), 0);
    EXPECT_TRUE(horde->horde[0].alive);
    EXPECT_EQ(horde->horde[0].x, 230.0f);
    EXPECT_EQ(horde->horde[0].z, 170.0f);
    EXPECT_EQ(horde->ZombieAmount(), 2);
    EXPECT_EQ(ScriptedRand::Calls(), 4);
}
