// The textures as the game loads them, and the street's seamless tiling.
#include "AssetTestSupport.h"

#include "render/CTexture.h"

#include <SDL.h>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace {

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

struct Rgb {
    int r, g, b;
};

Rgb PixelAt(const SDL_Surface& s, int x, int y)
{
    const Uint8* p = static_cast<const Uint8*>(s.pixels) + y * s.pitch + x * 3;
    // SDL reads a three-byte pixel as an integer in the machine's byte order.
    const Uint32 pixel = SDL_BYTEORDER == SDL_LIL_ENDIAN ? p[0] | p[1] << 8 | p[2] << 16 : p[0] << 16 | p[1] << 8 | p[2];
    Uint8 r, g, b;
    SDL_GetRGB(pixel, s.format, &r, &g, &b);
    return {r, g, b};
}

int Difference(const Rgb& a, const Rgb& b)
{
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

class GameTexture : public testing::TestWithParam<const char*> {};

TEST_P(GameTexture, LoadsThroughTheGamesLoaderAsTrueColourWithPowerOfTwoSides)
{
    const InGameFolder folder;
    ASSERT_TRUE(folder.Entered());
    const std::string printed = CaptureOutput([&] { const CTexture texture(GetParam()); }).out;
    EXPECT_NE(printed.find(std::string("Loading ") + GetParam() + "\n"), std::string::npos) << printed;
    EXPECT_EQ(printed.find("Problem loading"), std::string::npos) << printed;

    SDL_Surface* const image = SDL_LoadBMP(GetParam());
    ASSERT_NE(image, nullptr) << SDL_GetError();
    EXPECT_EQ(image->format->BytesPerPixel, 3);
    EXPECT_TRUE(PowerOfTwo(image->w)) << image->w;
    EXPECT_TRUE(PowerOfTwo(image->h)) << image->h;
    SDL_FreeSurface(image);
}

INSTANTIATE_TEST_SUITE_P(Assets, GameTexture, testing::Values("talo.bmp", "floor.bmp"));

// Mean colour of each 8 x 8 block: grain hides a seam pixel by pixel, blocks show it.
std::vector<Rgb> BlockMeans(const SDL_Surface& s, int block)
{
    std::vector<Rgb> means;
    for (int by = 0; by < s.h / block; ++by)
        for (int bx = 0; bx < s.w / block; ++bx) {
            Rgb sum{0, 0, 0};
            for (int y = by * block; y < (by + 1) * block; ++y)
                for (int x = bx * block; x < (bx + 1) * block; ++x) {
                    const Rgb p = PixelAt(s, x, y);
                    sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
                }
            const int n = block * block;
            means.push_back({sum.r / n, sum.g / n, sum.b / n});
        }
    return means;
}

// The floor repeats the picture two by two on every cell: across its edges the picture
// must change no more than it does between neighbouring blocks inside.
TEST(StreetTexture, TilesWithoutAVisibleSeam)
{
    const InGameFolder folder;
    ASSERT_TRUE(folder.Entered());
    SDL_Surface* const image = SDL_LoadBMP("floor.bmp");
    ASSERT_NE(image, nullptr) << SDL_GetError();
    ASSERT_EQ(image->format->BytesPerPixel, 3);
    const int block = 8;
    const int columns = image->w / block, rows = image->h / block;
    const std::vector<Rgb> means = BlockMeans(*image, block);
    SDL_FreeSurface(image);
    ASSERT_GE(columns, 4);
    ASSERT_GE(rows, 4);
    const auto at = [&](int x, int y) { return means[y * columns + x]; };
    double inside = 0.0, acrossSides = 0.0, acrossEnds = 0.0;
    for (int y = 0; y < rows; ++y) {
        for (int x = 1; x < columns; ++x)
            inside += Difference(at(x - 1, y), at(x, y));
        acrossSides += Difference(at(columns - 1, y), at(0, y));
    }
    for (int x = 0; x < columns; ++x)
        acrossEnds += Difference(at(x, rows - 1), at(x, 0));
    const double typical = inside / (rows * (columns - 1));
    EXPECT_LT(acrossSides / rows, 1.5 * typical);
    EXPECT_LT(acrossEnds / columns, 1.5 * typical);
}

} // namespace
