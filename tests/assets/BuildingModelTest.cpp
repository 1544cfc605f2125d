// The building model as the game reads it: clean parse, sound triangles, outward normals, size.
#include "AssetTestSupport.h"

#include "model/objLoader.h"
#include "render/CTexture.h"
#include "world/SceneGeometry.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

struct Vec {
    double x, y, z;
    Vec operator+(const Vec& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec operator-(const Vec& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec operator*(double k) const { return {x * k, y * k, z * k}; }
};

double Dot(const Vec& a, const Vec& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(const Vec& a, const Vec& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec Unit(const Vec& a) { return a * (1.0 / std::sqrt(Dot(a, a))); }
Vec From(const obj_vec3& v) { return {v.x, v.y, v.z}; }

// The game draws the model lifted, so this is where its floor lies.
const double floorY = -scene::buildingLift;

class BuildingModel : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const InGameFolder folder;
        ASSERT_TRUE(folder.Entered()) << SKARNHOLT_GAME_DIR;
        const Captured output = CaptureOutput([] { parsed = parse_obj_scene(&scene, "talo.obj"); });
        printed = output.out;
        complained = output.err;
    }
    static void TearDownTestSuite()
    {
        if (parsed == 1)
            delete_obj_data(&scene);
    }

    Vec Corner(const obj_facet& face, int i) const { return From(*scene.vertices[face.vertex[i]]); }

    // A point is inside when a ray from it going up crosses the surface an odd number of
    // times. The floor closes the building from below, so the model needs no bottom face.
    bool Inside(const Vec& point) const
    {
        if (point.y < floorY)
            return false;
        const Vec up = Unit({0.0123, 1.0, 0.0071});  // tilted so it never runs along an edge
        int crossings = 0;
        for (int f = 0; f < scene.n_facets; ++f) {
            const obj_facet& face = *scene.facets[f];
            crossings += Crosses(point, up, Corner(face, 0), Corner(face, 1), Corner(face, 2));
        }
        return crossings % 2 == 1;
    }

    static bool Crosses(const Vec& origin, const Vec& dir, const Vec& a, const Vec& b, const Vec& c)
    {
        const Vec e1 = b - a, e2 = c - a;
        const Vec p = Cross(dir, e2);
        const double det = Dot(e1, p);
        if (std::abs(det) < 1e-12)
            return false;
        const Vec s = origin - a;
        const double u = Dot(s, p) / det;
        const Vec q = Cross(s, e1);
        const double v = Dot(dir, q) / det;
        const double t = Dot(e2, q) / det;
        return u >= 0 && v >= 0 && u + v <= 1 && t > 1e-9;
    }

    static obj_scene_data scene;
    static int parsed;
    static std::string printed, complained;
};

obj_scene_data BuildingModel::scene{};
int BuildingModel::parsed = 0;
std::string BuildingModel::printed, BuildingModel::complained;

TEST_F(BuildingModel, ReadsWithoutComplaintAndNamesItsTexture)
{
    ASSERT_EQ(parsed, 1) << complained;
    EXPECT_EQ(LineWith(printed, "Unknown command"), "");
    EXPECT_EQ(LineWith(complained, "Unknown command"), "");
    EXPECT_EQ(LineWith(complained, "Error reading file"), "");
    EXPECT_GT(scene.n_facets, 0);
    EXPECT_LE(scene.n_facets, 400) << "the city draws this model hundreds of times a frame";
    ASSERT_GE(scene.n_materials, 1);
    EXPECT_STRNE(scene.materials[0]->texture_file, "");
}

TEST_F(BuildingModel, EveryFaceIsATriangleWithValidCorners)
{
    ASSERT_EQ(parsed, 1);
    for (int f = 0; f < scene.n_facets; ++f) {
        const obj_facet& face = *scene.facets[f];
        ASSERT_EQ(face.corner_count, 3) << "face " << f;
        for (int i = 0; i < 3; ++i) {
            ASSERT_TRUE(face.vertex[i] >= 0 && face.vertex[i] < scene.n_vertices) << "face " << f;
            ASSERT_TRUE(face.texcoord[i] >= 0 && face.texcoord[i] < scene.n_texcoords) << "face " << f;
            ASSERT_TRUE(face.normal[i] >= 0 && face.normal[i] < scene.n_normals) << "face " << f;
        }
    }
}

// Back faces are culled and the lighting reads the normals: both must face outwards.
TEST_F(BuildingModel, NormalsFollowTheWindingAndPointOutOfTheBuilding)
{
    ASSERT_EQ(parsed, 1);
    int wrong = 0;
    std::string first;
    for (int f = 0; f < scene.n_facets; ++f) {
        const obj_facet& face = *scene.facets[f];
        const Vec a = Corner(face, 0), b = Corner(face, 1), c = Corner(face, 2);
        const Vec winding = Cross(b - a, c - a);
        ASSERT_GT(Dot(winding, winding), 1e-12) << "face " << f << " has no area";
        const Vec facing = Unit(winding);
        bool ok = true;
        for (int i = 0; i < 3; ++i)
            ok = ok && Dot(Unit(From(*scene.normals[face.normal[i]])), facing) > 0.99;
        const Vec centre = (a + b + c) * (1.0 / 3.0);
        ok = ok && !Inside(centre + facing * 1e-3) && Inside(centre - facing * 1e-3);
        if (!ok && wrong++ == 0)
            first = "face " + std::to_string(f) + " at (" + std::to_string(centre.x) + ", " +
                    std::to_string(centre.y) + ", " + std::to_string(centre.z) + ")";
    }
    EXPECT_EQ(wrong, 0) << "first: " << first;
}

// Drawn scaled across and lifted in its cell: it must leave a street gap of at least
// 0.06 to the cell's edge, yet cover most of the cell.
TEST_F(BuildingModel, StandsOnTheFloorAndFillsItsCellWithAGap)
{
    ASSERT_EQ(parsed, 1);
    ASSERT_GT(scene.n_vertices, 0);
    double low = 1e9, high = -1e9, reach = 0.0;
    for (int i = 0; i < scene.n_vertices; ++i) {
        const obj_vec3& v = *scene.vertices[i];
        low = std::min(low, v.y);
        high = std::max(high, v.y);
        reach = std::max({reach, std::abs(v.x), std::abs(v.z)});
    }
    EXPECT_NEAR(low, floorY, 1e-6);
    EXPECT_GE(high, 1.5);
    EXPECT_LE(high, 2.5);
    const double drawnReach = reach * scene::buildingScale;
    EXPECT_LE(drawnReach, scene::tileHalfSize - 0.06) << "touches the neighbouring building";
    EXPECT_GE(drawnReach, 2.0 / 3.0 * scene::tileHalfSize) << "leaves most of its cell empty";
}

TEST(BuildingLoader, CompilesTheModelWithItsTexture)
{
    const InGameFolder folder;
    ASSERT_TRUE(folder.Entered());
    objLoader loader;
    int loaded = 0;
    const Captured output = CaptureOutput([&] { loaded = loader.load("talo.obj"); });
    const std::string& printed = output.out;
    const std::string& complained = output.err;
    EXPECT_EQ(loaded, 1);
    EXPECT_NE(LineWith(printed, "Loading talo.bmp"), "");
    EXPECT_EQ(LineWith(printed, "Problem loading"), "");
    EXPECT_EQ(complained, "");
    // The game keeps its model for good; the test gives it back.
    if (loaded == 1) {
        delete loader.textures[0];
        delete_obj_data(&loader.scene);
    }
}

} // namespace
