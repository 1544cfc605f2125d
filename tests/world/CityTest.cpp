// The city grid and its carver: every draw in its place, and the shape of the carved streets.
#include "WorldTestSupport.h"
#include "world/CityCarver.h"

#include <ctime>
#include <deque>

using WorldTest::Cell;
using WorldTest::ScriptAll;
using WorldTest::Streets;

namespace {

class CityTest : public WorldTest::Fixture {};

using Grid = std::vector<std::vector<bool>>;

std::set<Cell> Streets(const Grid& cells)
{
    std::set<Cell> streets;
    for (size_t y = 0; y < cells.size(); ++y) {
        for (size_t x = 0; x < cells[y].size(); ++x) {
            if (cells[y][x])
                streets.insert({ static_cast<int>(x), static_cast<int>(y) });
        }
    }
    return streets;
}

std::vector<Cell> Positions(const CityCarver& carver)
{
    std::vector<Cell> positions;
    for (const CityCarver::Entry& entry : carver.Entries())
        positions.push_back({ entry.x, entry.y });
    return positions;
}

// Street cells reachable from the middle, which counts as passable even while still a building:
// the carve starts there without opening it.
std::set<Cell> ReachableFromMiddle(const CCity& city)
{
    const Cell middle{ city.width / 2, city.height / 2 };
    std::set<Cell> seen{ middle };
    std::deque<Cell> open{ middle };
    const int dx[4] = { 0, 0, -1, 1 };
    const int dy[4] = { -1, 1, 0, 0 };
    while (!open.empty()) {
        const Cell c = open.front();
        open.pop_front();
        for (int d = 0; d < 4; ++d) {
            const Cell n{ c.first + dx[d], c.second + dy[d] };
            const bool inside = n.first >= 0 && n.first < city.width && n.second >= 0 && n.second < city.height;
            if (inside && city.Grid(n.first, n.second) == 0 && seen.insert(n).second)
                open.push_back(n);
        }
    }
    if (city.Grid(middle.first, middle.second) != 0)
        seen.erase(middle);
    return seen;
}

} // namespace

TEST_F(CityTest, CarverWorkedExampleStepByStep)
{
    // On 5 x 5 from (2, 2); the entries are P, then copies Q, R, ... in the order they are made.
    struct After {
        std::vector<Cell> entries;
        int cursor;
        std::set<Cell> streets;
        long draws;
    };
    const std::vector<After> steps{
        // P draws 3: right to (4, 2), a building: Q appended, parity 1 is odd so R too.
        { { { 4, 2 }, { 4, 2 }, { 4, 2 } }, 1, { { 3, 2 }, { 4, 2 } }, 2 },
        // Q draws 7: right to (6, 2), outside: Q removed.
        { { { 4, 2 }, { 4, 2 } }, 1, { { 3, 2 }, { 4, 2 } }, 3 },
        // R draws 2: left onto the middle, never opened so far: S appended, parity 4 even.
        { { { 4, 2 }, { 2, 2 }, { 2, 2 } }, 2, { { 2, 2 }, { 3, 2 }, { 4, 2 } }, 5 },
        // S draws 5: down to (2, 4): T appended, parity 0 even.
        { { { 4, 2 }, { 2, 2 }, { 2, 4 }, { 2, 4 } }, 3, { { 2, 2 }, { 3, 2 }, { 4, 2 }, { 2, 3 }, { 2, 4 } }, 7 },
        // T draws 4: up onto the street (2, 2); the one-in-five draw 3 fails. T was last: wrap.
        { { { 4, 2 }, { 2, 2 }, { 2, 4 } }, 0, { { 2, 2 }, { 3, 2 }, { 4, 2 }, { 2, 3 }, { 2, 4 } }, 9 },
        // P draws 2: left onto the street (2, 2), not upwards: P removed.
        { { { 2, 2 }, { 2, 4 } }, 0, { { 2, 2 }, { 3, 2 }, { 4, 2 }, { 2, 3 }, { 2, 4 } }, 10 },
    };
    ScriptAll({ 3, 1, 7, 2, 4, 5, 0, 4, 3, 2 });
    Grid cells(5, std::vector<bool>(5, false));
    CityCarver carver(cells, 5, 5);
    EXPECT_EQ(Positions(carver), (std::vector<Cell>{ { 2, 2 } }));
    EXPECT_TRUE(Streets(cells).empty());

    for (size_t i = 0; i < steps.size(); ++i) {
        carver.Step();
        EXPECT_EQ(Positions(carver), steps[i].entries) << "after step " << i + 1;
        EXPECT_EQ(carver.CursorIndex(), steps[i].cursor) << "after step " << i + 1;
        EXPECT_EQ(Streets(cells), steps[i].streets) << "after step " << i + 1;
        EXPECT_EQ(ScriptedRand::Calls(), steps[i].draws) << "after step " << i + 1;
    }

    // R draws 5: down onto the street (2, 4), fails. S draws 1: (2, 6) is outside. Done.
    ScriptAll({ 5, 1 });
    carver.Run();
    EXPECT_TRUE(carver.Done());
    EXPECT_EQ(carver.CursorIndex(), -1);
    EXPECT_EQ(Streets(cells), steps.back().streets);
    EXPECT_EQ(ScriptedRand::Pending(), 0);
}

TEST_F(CityTest, UpwardOneInFiveAndTheLateMiddleCloseLoops)
{
    // Round the square (2, 2) - (4, 2) - (4, 0) - (2, 0), coming back down onto the middle, which
    // no step had opened yet: 3,0 right; 0,0 up; 2,0 left; 1,0 down. Then T draws 7 (right onto a
    // street: fails), P, Q draw 3 and R draws 0 (outside). S, at (2, 2), draws 0: up onto the
    // street (2, 0); the one-in-five draw 5 lets it through and the odd parity draw 1 appends two
    // copies. Those two and S draw 0: outside.
    ScriptAll({ 3, 0, 0, 0, 2, 0, 1, 0, 7, 3, 3, 0, 0, 5, 1, 0, 0, 0 });
    CCity city(5, 5);

    const std::set<Cell> ring{ { 2, 2 }, { 3, 2 }, { 4, 2 }, { 4, 1 }, { 4, 0 }, { 3, 0 }, { 2, 0 }, { 2, 1 } };
    EXPECT_EQ(Streets(city), ring);
    EXPECT_EQ(ScriptedRand::Pending(), 0);
    EXPECT_EQ(ScriptedRand::Calls(), 18);
}

TEST_F(CityTest, MiddleCanStayABuildingBesideItsFirstStreet)
{
    // Right to (4, 2) with parity 0; then both entries draw 3 and leave the grid.
    ScriptAll({ 3, 0, 3, 3, 4242 });
    CCity city(5, 5);
    EXPECT_EQ(Streets(city), (std::set<Cell>{ { 3, 2 }, { 4, 2 } }));
    EXPECT_EQ(city.Grid(2, 2), 2);
    // The carve stops exactly where it is done: the next draw is left for the zombies.
    EXPECT_EQ(ScriptedRand::Pending(), 1);
}

TEST_F(CityTest, CitiesUpToThreeByThreeHaveNoStreet)
{
    for (int width = 1; width <= 3; ++width) {
        for (int height = 1; height <= 3; ++height) {
            ScriptedRand::ResetCount();
            CCity city(width, height);
            EXPECT_TRUE(Streets(city).empty()) << width << " x " << height;
            // Every move of two cells from the middle leaves the grid: one step, one draw.
            EXPECT_EQ(ScriptedRand::Calls(), 1) << width << " x " << height;
        }
    }
}

TEST_F(CityTest, EachCityReseedsFromTheClock)
{
    // Unscripted: both cities draw from the clock's seed. Tried again across a second boundary.
    for (int attempt = 0; attempt < 5; ++attempt) {
        ScriptedRand::ResetCount();
        const std::time_t before = std::time(nullptr);
        const CCity a(25, 25);
        std::rand();
        const CCity b(25, 25);
        if (std::time(nullptr) != before)
            continue;
        EXPECT_EQ(ScriptedRand::Seeds(), 2);
        EXPECT_EQ(Streets(a), Streets(b));
        return;
    }
    FAIL() << "could not build two cities within one second";
}

class CityShapeTest : public WorldTest::Fixture, public testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(CityShapeTest, StreetsKeepTheMiddlesLatticeAndHangTogether)
{
    const int width = GetParam().first;
    const int height = GetParam().second;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        ScriptedRand::Clear();
        WorldTest::ScriptRandom(seed * 7919u + width * 31u + height, 10000);
        const CCity city(width, height);
        ASSERT_GT(ScriptedRand::Pending(), 0) << "the carve used up its scripted draws";

        const std::set<Cell> streets = Streets(city);
        for (const Cell& c : streets) {
            const bool xOnLattice = (c.first - width / 2) % 2 == 0;
            const bool yOnLattice = (c.second - height / 2) % 2 == 0;
            EXPECT_TRUE(xOnLattice || yOnLattice) << c.first << ", " << c.second << ", seed " << seed;
        }
        EXPECT_EQ(ReachableFromMiddle(city), streets) << "seed " << seed;
        // Every cell that is not a street is a building: the grid knows no third kind.
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                ASSERT_TRUE(streets.count({ x, y }) == 1 || city.Grid(x, y) == 2) << x << ", " << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, CityShapeTest,
                         testing::Values(std::make_pair(25, 25), std::make_pair(24, 24), std::make_pair(7, 3),
                                         std::make_pair(3, 7), std::make_pair(2, 9), std::make_pair(26, 11)),
                         [](const testing::TestParamInfo<std::pair<int, int>>& size) {
                             return std::to_string(size.param.first) + "x" + std::to_string(size.param.second);
                         });

TEST_F(CityTest, GameSizedCitiesReachTheirEdgesButNoOddCell)
{
    bool row0 = false, row24 = false, column0 = false, column24 = false;
    for (unsigned seed = 100; seed < 300; ++seed) {
        ScriptedRand::Clear();
        WorldTest::ScriptRandom(seed, 20000);
        const CCity city(25, 25);

        // The first step from (12, 12) cannot fail: a neighbour and the cell beyond are streets.
        const bool up = city.Grid(12, 11) == 0 && city.Grid(12, 10) == 0;
        const bool down = city.Grid(12, 13) == 0 && city.Grid(12, 14) == 0;
        const bool left = city.Grid(11, 12) == 0 && city.Grid(10, 12) == 0;
        const bool right = city.Grid(13, 12) == 0 && city.Grid(14, 12) == 0;
        EXPECT_TRUE(up || down || left || right) << "seed " << seed;

        for (int y = 1; y < 25; y += 2) {
            for (int x = 1; x < 25; x += 2)
                EXPECT_EQ(city.Grid(x, y), 2) << x << ", " << y << ", seed " << seed;
        }
        for (int i = 0; i < 25; ++i) {
            row0 = row0 || city.Grid(i, 0) == 0;
            row24 = row24 || city.Grid(i, 24) == 0;
            column0 = column0 || city.Grid(0, i) == 0;
            column24 = column24 || city.Grid(24, i) == 0;
        }
    }
    EXPECT_TRUE(row0 && row24 && column0 && column24);
}

TEST_F(CityTest, EvenSizedCityNeverOpensItsLastRowOrColumn)
{
    for (unsigned seed = 1; seed <= 100; ++seed) {
        ScriptedRand::Clear();
        WorldTest::ScriptRandom(seed, 20000);
        const CCity city(24, 24);
        for (int i = 0; i < 24; ++i) {
            EXPECT_EQ(city.Grid(23, i), 2) << "column 23, row " << i << ", seed " << seed;
            EXPECT_EQ(city.Grid(i, 23), 2) << "row 23, column " << i << ", seed " << seed;
        }
    }
}
