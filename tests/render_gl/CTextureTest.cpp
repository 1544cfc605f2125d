// CTexture: BMP files of every depth reach the GL with the right colours, and failures stay harmless.
#include "render/CTexture.h"
#include "support/ScratchFolder.h"

#include <GL/gl.h>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Rgba {
    int r, g, b, a;
};

const int imageWidth = 3;
const int imageHeight = 2;

// Top row first. Three pixels per row leave padding at the end of every 24-bit and 8-bit row.
// All channels are multiples of 8, so a 16-bit image holds them too.
const std::vector<Rgba> picture = {
    {248, 16, 40, 128}, {8, 200, 88, 255}, {32, 64, 240, 16},
    {248, 248, 0, 0}, {0, 0, 0, 255}, {128, 64, 32, 200},
};

void Put16(std::string& out, unsigned int value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, unsigned int value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// One pixel in the file's own encoding: a palette index, 5-5-5, BGR or BGRA.
void PutPixel(std::string& out, int bits, int index)
{
    const Rgba& colour = picture[index];
    if (bits == 8)
        out += static_cast<char>(index);
    else if (bits == 16)
        Put16(out, (colour.r >> 3) << 10 | (colour.g >> 3) << 5 | colour.b >> 3);
    else
        out += {static_cast<char>(colour.b), static_cast<char>(colour.g), static_cast<char>(colour.r)};
    if (bits == 32)
        out += static_cast<char>(colour.a);
}

// The pixel rows of a BMP: bottom row first, each padded to 4 bytes.
std::string PixelRows(int bits)
{
    std::string rows;
    for (int y = imageHeight - 1; y >= 0; --y) {
        const size_t start = rows.size();
        for (int x = 0; x < imageWidth; ++x)
            PutPixel(rows, bits, y * imageWidth + x);
        rows.append((4 - (rows.size() - start) % 4) % 4, '\0');
    }
    return rows;
}

// An uncompressed BMP of the picture; 8-bit files carry the picture's colours as their palette.
void WriteBmp(const std::string& path, int bits)
{
    std::string palette;
    for (const Rgba& colour : bits == 8 ? picture : std::vector<Rgba>{})
        palette += {static_cast<char>(colour.b), static_cast<char>(colour.g), static_cast<char>(colour.r), '\0'};
    const std::string rows = PixelRows(bits);
    const unsigned int offset = 14 + 40 + palette.size();
    std::string file = "BM";
    Put32(file, offset + rows.size());
    Put32(file, 0);
    Put32(file, offset);
    for (const unsigned int field : {40u, unsigned(imageWidth), unsigned(imageHeight)})
        Put32(file, field);
    Put16(file, 1);
    Put16(file, bits);
    for (const unsigned int field : {0u, unsigned(rows.size()), 2835u, 2835u, unsigned(palette.size() / 4), 0u})
        Put32(file, field);
    std::ofstream(path, std::ios::binary) << file << palette << rows;
}

class CTextureTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.Made());
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    std::string PathOf(const char* name) const { return folder.Path(name); }

    const ScratchFolder folder;
};

std::vector<unsigned char> LevelZero(GLuint texture)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    std::vector<unsigned char> pixels(imageWidth * imageHeight * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

GLint LevelParameter(GLint level, GLenum name)
{
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    return value;
}

class CTextureDepthTest : public CTextureTest, public testing::WithParamInterface<int> {};

// A wrong data format swaps red and blue or shears the rows; a lost row stride shears them too.
TEST_P(CTextureDepthTest, LoadsThePictureTopRowFirst)
{
    const int bits = GetParam();
    const std::string path = PathOf("picture.bmp");
    WriteBmp(path, bits);
    // Byte-packed unpacking, as glyph building uses, must neither spoil the load nor be lost.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    testing::internal::CaptureStdout();
    const CTexture texture(path.c_str());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading " + path + "\n");
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

    const std::vector<unsigned char> pixels = LevelZero(texture.textureId);
    // Five bits per channel may come back with the low bits filled in.
    const int tolerance = bits == 16 ? 7 : 0;
    for (size_t i = 0; i < picture.size(); ++i) {
        const Rgba& want = picture[i];
        EXPECT_NEAR(pixels[4 * i], want.r, tolerance) << "pixel " << i;
        EXPECT_NEAR(pixels[4 * i + 1], want.g, tolerance) << "pixel " << i;
        EXPECT_NEAR(pixels[4 * i + 2], want.b, tolerance) << "pixel " << i;
        EXPECT_EQ(pixels[4 * i + 3], bits == 32 ? want.a : 255) << "pixel " << i;
    }
    EXPECT_EQ(LevelParameter(0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    EXPECT_EQ(LevelParameter(1, GL_TEXTURE_WIDTH), imageWidth / 2) << "no mipmaps were built";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Bmp, CTextureDepthTest, testing::Values(8, 16, 24, 32),
                         [](const testing::TestParamInfo<int>& depth) {
                             return std::to_string(depth.param) + "Bit";
                         });

TEST_F(CTextureTest, UnreadableFileLeavesAnEmptyTextureThatBindsCleanly)
{
    const std::string missing = PathOf("floor.bmp");
    const std::string notBmp = PathOf("notes.bmp");
    std::ofstream(notBmp) << "not a picture\n";
    for (const std::string& path : {missing, notBmp}) {
        testing::internal::CaptureStdout();
        CTexture texture(path.c_str());
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Loading " + path + "\nProblem loading " + path + "\n");
        EXPECT_NE(texture.textureId, 0u);
        texture.Use();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), texture.textureId);
        EXPECT_EQ(LevelParameter(0, GL_TEXTURE_WIDTH), 0);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    }
}

} // namespace
