// Lays out the building's boxes, parapets and roofs and maps each onto its atlas region.
#include "Building.h"

#include "Atlas.h"

#include <algorithm>

namespace {

struct Rect {
    double x0, x1, z0, z1;
};

Rect Square(double half) { return {-half, half, -half, half}; }

// How a wall picks its texture: the region's full height spans the wall, and
// sideways the region is read from uStart at uPerUnit pixels per model unit.
struct WallSkin {
    AtlasRegion region;
    double uStart;
    double uPerUnit;
};

// A flat texture laid on a horizontal face: `area` in model space covers the region.
struct PlanarSkin {
    AtlasRegion region;
    Rect area;
};

// Half a texel inside the region, so linear filtering never reads a neighbouring region.
TexCoord AtlasUv(const AtlasRegion& r, double px, double py)
{
    const double x = std::clamp(px, 0.5, r.w - 0.5);
    const double y = std::clamp(py, 0.5, r.h - 0.5);
    return {(r.x + x) / atlas::size, (r.y + y) / atlas::size};
}

TexCoord PlanarUv(const PlanarSkin& skin, double x, double z)
{
    const Rect& a = skin.area;
    return AtlasUv(skin.region, (x - a.x0) / (a.x1 - a.x0) * skin.region.w,
                   (z - a.z0) / (a.z1 - a.z0) * skin.region.h);
}

// One wall facing `normal` (horizontal, unit), centred on (cx, cz).
void AddWall(Mesh& mesh, double cx, double cz, double halfLength, const Vec3& normal, double y0, double y1,
             const WallSkin& skin)
{
    // Seen from outside, the wall's right-hand side.
    const Vec3 right{normal.z, 0.0, -normal.x};
    const double lx = cx - right.x * halfLength, lz = cz - right.z * halfLength;
    const double rx = cx + right.x * halfLength, rz = cz + right.z * halfLength;
    const double u0 = skin.uStart;
    const double u1 = skin.uStart + 2.0 * halfLength * skin.uPerUnit;
    const double top = 0.0, bottom = skin.region.h;
    mesh.AddQuad({Corner{{lx, y0, lz}, AtlasUv(skin.region, u0, bottom)},
                  Corner{{rx, y0, rz}, AtlasUv(skin.region, u1, bottom)},
                  Corner{{rx, y1, rz}, AtlasUv(skin.region, u1, top)},
                  Corner{{lx, y1, lz}, AtlasUv(skin.region, u0, top)}},
                 normal);
}

const Vec3 sideNormals[4] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}};

// The four walls of a box; `skinOfSide` lets each side show a different stretch of facade.
template <typename SkinOfSide>
void AddWalls(Mesh& mesh, const Rect& r, double y0, double y1, bool facingOut, SkinOfSide skinOfSide)
{
    const double cx = (r.x0 + r.x1) / 2, cz = (r.z0 + r.z1) / 2;
    const double hx = (r.x1 - r.x0) / 2, hz = (r.z1 - r.z0) / 2;
    for (int side = 0; side < 4; ++side) {
        const Vec3& n = sideNormals[side];
        const Vec3 facing = facingOut ? n : Vec3{-n.x, -n.y, -n.z};
        const double half = n.x != 0.0 ? hz : hx;
        AddWall(mesh, cx + n.x * hx, cz + n.z * hz, half, facing, y0, y1, skinOfSide(side));
    }
}

void AddTop(Mesh& mesh, const Rect& r, double y, const PlanarSkin& skin)
{
    const Vec3 up{0, 1, 0};
    mesh.AddQuad({Corner{{r.x0, y, r.z0}, PlanarUv(skin, r.x0, r.z0)},
                  Corner{{r.x1, y, r.z0}, PlanarUv(skin, r.x1, r.z0)},
                  Corner{{r.x1, y, r.z1}, PlanarUv(skin, r.x1, r.z1)},
                  Corner{{r.x0, y, r.z1}, PlanarUv(skin, r.x0, r.z1)}},
                 up);
}

// The flat band between an outer rectangle and one inside it: four trapezoids.
void AddRing(Mesh& mesh, const Rect& outer, const Rect& inner, double y, const PlanarSkin& skin)
{
    const Vec3 up{0, 1, 0};
    const auto corner = [&](double x, double z) { return Corner{{x, y, z}, PlanarUv(skin, x, z)}; };
    mesh.AddQuad({corner(outer.x0, outer.z1), corner(outer.x1, outer.z1), corner(inner.x1, inner.z1),
                  corner(inner.x0, inner.z1)}, up);
    mesh.AddQuad({corner(outer.x1, outer.z1), corner(outer.x1, outer.z0), corner(inner.x1, inner.z0),
                  corner(inner.x1, inner.z1)}, up);
    mesh.AddQuad({corner(outer.x1, outer.z0), corner(outer.x0, outer.z0), corner(inner.x0, inner.z0),
                  corner(inner.x1, inner.z0)}, up);
    mesh.AddQuad({corner(outer.x0, outer.z0), corner(outer.x0, outer.z1), corner(inner.x0, inner.z1),
                  corner(inner.x0, inner.z0)}, up);
}

// A low wall round a roof edge: outer face, capping and inner face. Gives the roof inside it.
Rect AddParapet(Mesh& mesh, const Rect& outer, double thickness, double y0, double y1)
{
    const Rect inner{outer.x0 + thickness, outer.x1 - thickness, outer.z0 + thickness, outer.z1 - thickness};
    const WallSkin concrete{atlas::concrete, 0.0, atlas::concrete.w / (outer.x1 - outer.x0)};
    const auto same = [&](int) { return concrete; };
    AddWalls(mesh, outer, y0, y1, true, same);
    AddRing(mesh, outer, inner, y1, PlanarSkin{atlas::concrete, outer});
    AddWalls(mesh, inner, y0, y1, false, same);
    return inner;
}

const double ground = -0.85;
const double shopHeight = 0.5;
const double storeyHeight = 0.45;
const Rect block = Square(1.2);
const Rect tower = Square(0.8);
const Rect stairHouse{0.15, 0.65, -0.6, -0.2};

// Neighbouring sides start at different bays so the windows do not repeat round the corner.
WallSkin Storey(const AtlasRegion& region, int side, int baysShown)
{
    const int startBay = side % (8 - baysShown + 1);
    return {region, double(startBay * atlas::bayPixels), atlas::pixelsPerUnit};
}

double AddBlock(Mesh& mesh)
{
    mesh.BeginGroup("block");
    const int bays = int((block.x1 - block.x0) * atlas::pixelsPerUnit) / atlas::bayPixels;
    double y = ground;
    AddWalls(mesh, block, y, y + shopHeight, true,
             [&](int side) { return Storey(atlas::shopStorey, side, bays); });
    y += shopHeight;
    for (int storey = 0; storey < 3; ++storey, y += storeyHeight)
        AddWalls(mesh, block, y, y + storeyHeight, true,
                 [&](int side) { return Storey(atlas::officeStorey, side + storey, bays); });
    mesh.BeginGroup("block_roof");
    const Rect inside = AddParapet(mesh, block, 0.06, y, y + 0.08);
    AddRing(mesh, inside, tower, y, PlanarSkin{atlas::lowerRoof, block});
    return y;
}

double AddTower(Mesh& mesh, double base)
{
    mesh.BeginGroup("tower");
    const int bays = int((tower.x1 - tower.x0) * atlas::pixelsPerUnit) / atlas::bayPixels;
    double y = base;
    for (int storey = 0; storey < 2; ++storey, y += storeyHeight)
        AddWalls(mesh, tower, y, y + storeyHeight, true,
                 [&](int side) { return Storey(atlas::towerStorey, side + 2 * storey, bays); });
    mesh.BeginGroup("tower_roof");
    const Rect inside = AddParapet(mesh, tower, 0.05, y, y + 0.1);
    AddRing(mesh, inside, stairHouse, y, PlanarSkin{atlas::towerRoof, tower});
    return y;
}

void AddStairHouse(Mesh& mesh, double base)
{
    mesh.BeginGroup("stair_house");
    const double top = base + 0.25;
    // Only the side facing the viewer (+z) shows the door painted at the region's start.
    AddWalls(mesh, stairHouse, base, top, true, [](int side) {
        return WallSkin{atlas::stairHouse, side == 0 ? 0.0 : 48.0, atlas::pixelsPerUnit};
    });
    AddTop(mesh, stairHouse, top, PlanarSkin{atlas::concrete, stairHouse});
}

} // namespace

Mesh BuildBuilding()
{
    Mesh mesh;
    const double blockTop = AddBlock(mesh);
    const double towerTop = AddTower(mesh, blockTop);
    AddStairHouse(mesh, towerTop);
    return mesh;
}
