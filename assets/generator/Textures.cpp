// Paints the building atlas (roofs, facade storeys, concrete) and the asphalt street.
#include "Textures.h"

#include "Atlas.h"
#include "Random.h"

#include <cmath>

namespace {

const Colour glassDark{38, 52, 66};
const Colour glassSky{92, 118, 140};
const Colour litWindow{236, 196, 120};
const Colour plank{112, 84, 56};

// Adds grain so flat areas do not look like plastic.
void Grain(Image& image, const AtlasRegion& r, double strength, Random& random)
{
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            image.Set(x, y, image.At(x, y) * (1.0 + strength * random.Signed()));
}

// A box on a roof seen from above: light top, darker rim, shadow away from the light.
void RoofBox(Image& image, int x, int y, int w, int h, const Colour& top)
{
    image.BlendRect(x - 2, y + 1, w, h + 1, Colour{0, 0, 0}, 0.45);
    image.Fill(x, y, w, h, top * 0.8);
    image.Fill(x + 1, y + 1, w - 2, h - 2, top);
}

void RoundVent(Image& image, int cx, int cy, int radius)
{
    for (int y = -radius - 1; y <= radius + 1; ++y)
        for (int x = -radius - 1; x <= radius + 1; ++x) {
            const double d = std::sqrt(double(x * x + y * y));
            if (d <= radius)
                image.Set(cx + x, cy + y, Colour{150, 150, 146} * (d > radius - 1 ? 0.7 : 1.0));
            else if (d <= radius + 1.5 && x < 0)
                image.Blend(cx + x, cy + y, Colour{0, 0, 0}, 0.4);
        }
}

// Tar and gravel; the tower covers the middle, so details sit in the outer band.
void PaintLowerRoof(Image& image, Random& random)
{
    const AtlasRegion r = atlas::lowerRoof;
    const TileableFractal stains(128, 32, 4, 11);
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x) {
            const double v = stains.At(x, y);
            image.Set(r.x + x, r.y + y, Colour{92, 90, 86} * (0.8 + 0.4 * v));
        }
    Grain(image, r, 0.12, random);
    for (int i = 8; i < r.w; i += 16) {
        image.BlendRect(r.x + i, r.y, 1, r.h, Colour{30, 30, 30}, 0.35);
        image.BlendRect(r.x, r.y + i, r.w, 1, Colour{30, 30, 30}, 0.35);
    }
    RoofBox(image, r.x + 8, r.y + 6, 9, 7, Colour{176, 178, 178});
    RoofBox(image, r.x + 110, r.y + 60, 8, 12, Colour{168, 170, 170});
    RoofBox(image, r.x + 40, r.y + 110, 12, 8, Colour{176, 178, 178});
    RoundVent(image, r.x + 112, r.y + 14, 3);
    RoundVent(image, r.x + 12, r.y + 70, 2);
    RoundVent(image, r.x + 96, r.y + 114, 3);
}

// Pale membrane in panels, skylights and a shadow beside the stair house.
void PaintTowerRoof(Image& image, Random& random)
{
    const AtlasRegion r = atlas::towerRoof;
    const TileableFractal stains(128, 32, 4, 23);
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x)
            image.Set(r.x + x, r.y + y, Colour{158, 154, 144} * (0.85 + 0.3 * stains.At(x, y)));
    Grain(image, r, 0.06, random);
    for (int i = 4; i < r.w; i += 20) {
        image.BlendRect(r.x + i, r.y, 1, r.h, Colour{90, 88, 84}, 0.5);
        image.BlendRect(r.x, r.y + i, r.w, 1, Colour{90, 88, 84}, 0.5);
    }
    // The stair house stands at pixels x 76..116, y 16..48 of this region.
    image.BlendRect(r.x + 66, r.y + 18, 10, 34, Colour{0, 0, 0}, 0.35);
    for (int i = 0; i < 3; ++i) {
        const int x = r.x + 16 + 22 * i;
        image.Fill(x - 1, r.y + 79, 16, 24, Colour{70, 72, 74});
        image.Fill(x, r.y + 80, 14, 22, glassSky);
        image.BlendRect(x, r.y + 80, 6, 22, Colour{220, 230, 240}, 0.3);
    }
    RoofBox(image, r.x + 90, r.y + 88, 16, 12, Colour{190, 192, 192});
    RoundVent(image, r.x + 24, r.y + 30, 4);
    RoundVent(image, r.x + 100, r.y + 70, 3);
}

void Window(Image& image, int x, int y, int w, int h, int state)
{
    image.Fill(x - 1, y - 1, w + 2, h + 2, Colour{210, 204, 190});
    for (int j = 0; j < h; ++j)
        image.Fill(x, y + j, w, 1, Mix(glassSky, glassDark, double(j) / h));
    if (state == 1) {
        image.BlendRect(x, y, w, h, litWindow, 0.8);
    } else if (state == 2) {
        for (int j = 2; j < h; j += 6)
            image.Fill(x - 1, y + j, w + 2, 4, plank * (0.85 + 0.05 * j / 6));
    }
    image.Fill(x + w / 2, y, 1, h, Colour{200, 196, 184});
    image.Fill(x - 2, y + h + 1, w + 4, 2, Colour{196, 192, 182});
}

// Brick with a window in each bay; a few lit, a few boarded up.
void PaintOfficeStorey(Image& image, Random& random)
{
    const AtlasRegion r = atlas::officeStorey;
    image.Fill(r.x, r.y, r.w, r.h, Colour{136, 78, 58});
    Grain(image, r, 0.1, random);
    for (int y = r.y + 4; y < r.y + r.h; y += 4)
        image.BlendRect(r.x, y, r.w, 1, Colour{180, 170, 160}, 0.25);
    image.Fill(r.x, r.y, r.w, 3, Colour{150, 146, 138});
    const int states[8] = {0, 1, 0, 2, 0, 0, 1, 0};
    for (int bay = 0; bay < 8; ++bay)
        Window(image, r.x + bay * atlas::bayPixels + 7, r.y + 9, 18, 19, states[bay]);
}

// Curtain wall: two glass panes per bay, mullions and a dark spandrel under each storey.
void PaintTowerStorey(Image& image, Random& random)
{
    const AtlasRegion r = atlas::towerStorey;
    for (int y = 0; y < r.h; ++y)
        image.Fill(r.x, r.y + y, r.w, 1, Mix(glassSky, glassDark, double(y) / r.h));
    const TileableFractal sky(256, 64, 3, 37);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            image.Set(x, y, image.At(x, y) * (0.85 + 0.3 * sky.At(x, y)));
    Grain(image, r, 0.03, random);
    image.Fill(r.x, r.y + r.h - 7, r.w, 7, Colour{70, 74, 78});
    image.Fill(r.x, r.y, r.w, 2, Colour{120, 124, 128});
    for (int x = r.x; x < r.x + r.w; x += atlas::bayPixels / 2)
        image.Fill(x, r.y, 2, r.h, Colour{140, 144, 148});
    const int lit[4] = {3, 8, 9, 14};
    for (const int pane : lit)
        image.BlendRect(r.x + pane * 16 + 2, r.y + 2, 14, r.h - 9, litWindow, 0.55);
}

// Ground floor: awnings over shop windows, shutters, and one door.
void PaintShopStorey(Image& image, Random& random)
{
    const AtlasRegion r = atlas::shopStorey;
    image.Fill(r.x, r.y, r.w, r.h, Colour{128, 122, 112});
    Grain(image, r, 0.08, random);
    const Colour awnings[4] = {{150, 40, 36}, {40, 104, 70}, {46, 70, 140}, {170, 140, 40}};
    for (int bay = 0; bay < 8; ++bay) {
        const int x = r.x + bay * atlas::bayPixels;
        image.Fill(x + 3, r.y + 5, 26, 6, awnings[bay % 4]);
        for (int s = 0; s < 26; s += 6)
            image.BlendRect(x + 3 + s, r.y + 5, 3, 6, Colour{235, 230, 220}, 0.5);
        image.BlendRect(x + 3, r.y + 11, 26, 2, Colour{0, 0, 0}, 0.4);
        if (bay == 2) {
            image.Fill(x + 9, r.y + 14, 14, 26, Colour{60, 44, 34});
            image.Fill(x + 19, r.y + 27, 2, 2, Colour{200, 180, 90});
        } else if (bay == 5 || bay == 7) {
            for (int j = 0; j < 24; ++j)
                image.Fill(x + 4, r.y + 14 + j, 24, 1, Colour{150, 152, 150} * (j % 3 == 0 ? 0.7 : 1.0));
        } else {
            Window(image, x + 5, r.y + 15, 22, 20, bay == 0 ? 1 : 0);
        }
    }
    image.Fill(r.x, r.y + r.h - 2, r.w, 2, Colour{90, 86, 80});
}

void PaintConcrete(Image& image, Random& random)
{
    const AtlasRegion c = atlas::concrete;
    image.Fill(c.x, c.y, c.w, c.h, Colour{186, 182, 172});
    Grain(image, c, 0.06, random);
    const AtlasRegion s = atlas::stairHouse;
    image.Fill(s.x, s.y, s.w, s.h, Colour{162, 158, 150});
    Grain(image, s, 0.06, random);
    image.Fill(s.x + 8, s.y + 3, 12, 13, Colour{78, 84, 92});
    image.Fill(s.x + 17, s.y + 9, 1, 2, Colour{200, 200, 200});
}

} // namespace

Image PaintBuildingAtlas()
{
    Image image(atlas::size, atlas::size, Colour{128, 128, 128});
    Random random(1871);
    PaintLowerRoof(image, random);
    PaintTowerRoof(image, random);
    PaintOfficeStorey(image, random);
    PaintTowerStorey(image, random);
    PaintShopStorey(image, random);
    PaintConcrete(image, random);
    return image;
}

// Seen from the game's camera a floor tile is some 36 pixels wide and shows the street
// two by two, so only coarse features survive: large paving slabs of uneven shade with
// dark joints. Fine grit and cracks add what is left when the camera comes close.
Image PaintStreet()
{
    const int size = 256;
    const int slab = 64;   // slabs per side: 4, so the grid wraps at the texture's edges
    const int joint = 4;
    Image image(size, size, Colour{0, 0, 0});
    Random random(4242);
    double slabShade[4][4];
    for (auto& row : slabShade)
        for (double& shade : row)
            shade = random.Range(0.78, 1.12);
    const TileableFractal wear(size, 64, 5, 91);
    // The grid is shifted by half a slab so that the picture's edges run through the
    // middle of slabs: a repeat then meets itself with no extra joint at the seam.
    const auto shifted = [&](int v) { return (v + slab / 2) % size; };
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int sx = shifted(x), sy = shifted(y);
            const bool inJoint = sx % slab < joint || sy % slab < joint;
            double shade = inJoint ? 0.45 : slabShade[sy / slab][sx / slab];
            shade *= 0.9 + 0.2 * wear.At(x, y);
            const double grit = random.Unit();
            if (grit > 0.97)
                shade *= 1.15;  // light stones in the mix
            else if (grit < 0.05)
                shade *= 0.85;
            image.Set(x, y, Colour{196, 192, 184} * shade * (1.0 + 0.04 * random.Signed()));
        }
    // Cracks: wandering lines; drawing wraps at the edges, so they continue on the other side.
    for (int crack = 0; crack < 5; ++crack) {
        double x = random.Range(0, size);
        double y = random.Range(0, size);
        double heading = random.Range(0, 6.2832);
        const int length = 30 + random.Below(40);
        for (int step = 0; step < length; ++step) {
            image.Blend(int(std::floor(x)), int(std::floor(y)), Colour{70, 68, 64}, 0.6);
            heading += random.Range(-0.3, 0.3);
            x += std::cos(heading);
            y += std::sin(heading);
        }
    }
    return image;
}
