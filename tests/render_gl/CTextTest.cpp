// CText: glyph lists drawn exactly from the font's bitmaps, and Print calling only lists of its block.
#include "render/CText.h"

#include "platform/GlyphFont.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const int windowWidth = 1024;
const int windowHeight = 768;

// Sum of the pen advances of text in the font the game asks for.
int AdvanceOf(const std::string& text)
{
    const GlyphFont font("Comic Sans MS", true, 12);
    int advance = 0;
    for (const char character : text)
        advance += font.Render(static_cast<unsigned char>(character)).value().advance;
    return advance;
}

bool BitSet(const GlyphFont::Glyph& glyph, int column, int row)
{
    if (column < 0 || row < 0 || column >= glyph.width || row >= glyph.rows)
        return false;
    const int rowBytes = (glyph.width + 7) / 8;
    return glyph.bits[row * rowBytes + column / 8] & (0x80 >> (column % 8));
}

// Pixels of a window area, bottom row first, three bytes each.
std::vector<unsigned char> ReadArea(int x, int y, int width, int height)
{
    std::vector<unsigned char> pixels(width * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return pixels;
}

// Compiles lists that throw the raster position far off, so calling any of them shows.
void CompileSentinels(unsigned int first, int count)
{
    const GLubyte blank = 0;
    for (unsigned int list = first; list < first + count; ++list) {
        glNewList(list, GL_COMPILE);
        glBitmap(0, 0, 0, 0, 500, 300, &blank);
        glEndList();
    }
}

// Makes fontconfig see a machine with no fonts at all while it lives.
class NoFontsInstalled {
public:
    NoFontsInstalled() : original(FcConfigReference(nullptr)), empty(FcConfigCreate())
    {
        FcConfigSetCurrent(empty);
    }
    ~NoFontsInstalled()
    {
        FcConfigSetCurrent(original);
        FcConfigDestroy(empty);
        FcConfigDestroy(original);
    }

private:
    FcConfig* const original;
    FcConfig* const empty;
};

class CTextTest : public testing::Test {
protected:
    void SetUp() override
    {
        glViewport(0, 0, windowWidth, windowHeight);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, windowWidth, 0, windowHeight);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_LIGHTING);
        glDisable(GL_TEXTURE_2D);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    // The colour is latched by the raster position, so it is set first.
    static void StartAt(int x, int y, GLubyte red = 255, GLubyte green = 255, GLubyte blue = 255)
    {
        glColor3ub(red, green, blue);
        glRasterPos2i(x, y);
    }

    // The window position goes through the projection, so it comes back within rounding.
    static testing::AssertionResult RasterAt(int x, int y)
    {
        GLfloat position[4] = {};
        glGetFloatv(GL_CURRENT_RASTER_POSITION, position);
        if (std::fabs(position[0] - x) < 0.01f && std::fabs(position[1] - y) < 0.01f)
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << "raster at (" << position[0] << ", " << position[1] << "), expected (" << x << ", " << y << ")";
    }
};

// Glyphs with a descender, a negative left bearing and a full-height stem. The caller's
// unusual unpack alignment must neither shear the glyph rows nor be lost.
TEST_F(CTextTest, GlyphsAreDrawnExactlyAsTheFontRendersThem)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    testing::internal::CaptureStdout();
    CText text;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading font\n");
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 8);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const GlyphFont font("Comic Sans MS", true, 12);
    const int x0 = 100, y0 = 100, margin = 12, size = 36;
    for (const char character : {'A', 'g', 'j', 'T', '7'}) {
        glClear(GL_COLOR_BUFFER_BIT);
        StartAt(x0, y0);
        text.Print("%c", character);
        const GlyphFont::Glyph glyph = font.Render(character).value();
        EXPECT_TRUE(RasterAt(x0 + glyph.advance, y0)) << character;
        const std::vector<unsigned char> pixels = ReadArea(x0 - margin, y0 - margin, size, size);
        int wrongPixels = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const bool lit = pixels[3 * (y * size + x)] != 0;
                const int column = x - margin - glyph.left;
                const int row = y - margin - (glyph.top - glyph.rows);
                wrongPixels += lit != BitSet(glyph, column, row);
            }
        EXPECT_EQ(wrongPixels, 0) << character;
    }
}

TEST_F(CTextTest, CharactersWithoutGlyphsAreSkippedAndCallNoOtherList)
{
    // The codes below 32 would reach the 31 names just under the block. Reserving names first
    // keeps the block off the lowest ones; a driver may leave a gap between the two ranges
    // (Mesa 25 left one name free there), and glNewList takes a free name too.
    const GLuint reserved = glGenLists(31);
    testing::internal::CaptureStdout();
    CText text;
    testing::internal::GetCapturedStdout();
    ASSERT_GE(text.listBase, reserved + 31) << "the block must lie above the names reserved first";
    const GLuint below = text.listBase - 31;
    ASSERT_FALSE(glIsList(text.listBase + 256));
    CompileSentinels(below, 31);
    CompileSentinels(text.listBase + 256, 1);

    const char* const formats[] = {"", "\x01\x02\t\n\x1f", "\x80\xa0\xfe\xff"};
    for (const char* const format : formats) {
        StartAt(200, 300);
        text.Print(format);
        EXPECT_TRUE(RasterAt(200, 300));
    }
    StartAt(200, 300);
    text.Print(nullptr);
    EXPECT_TRUE(RasterAt(200, 300));
    StartAt(200, 300);
    text.Print("A\x1f%c\x90" "B%c", 1, 200);
    EXPECT_TRUE(RasterAt(200 + AdvanceOf("AB"), 300));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDeleteLists(reserved, 31);
    glDeleteLists(below, 31);
    glDeleteLists(text.listBase + 256, 1);
}

TEST_F(CTextTest, TextLongerThan255CharactersIsCut)
{
    std::string longText;
    for (int i = 0; i < 300; ++i)
        longText += static_cast<char>('!' + (i * 7) % 94);
    testing::internal::CaptureStdout();
    CText text;
    testing::internal::GetCapturedStdout();
    StartAt(10, 400);
    text.Print("%s", longText.c_str());
    EXPECT_TRUE(RasterAt(10 + AdvanceOf(longText.substr(0, 255)), 400));
}

TEST_F(CTextTest, ZombieCountIsDrawnInTheLatchedColour)
{
    testing::internal::CaptureStdout();
    CText text;
    testing::internal::GetCapturedStdout();
    StartAt(8, 740, 255, 128, 0);
    // Pixels drawn from here on must carry the latched colour, not the current one.
    glColor3ub(0, 0, 255);
    text.Print("Zombies left: %03d", 7);
    EXPECT_TRUE(RasterAt(8 + AdvanceOf("Zombies left: 007"), 740));

    const int top = 720;
    const std::vector<unsigned char> pixels = ReadArea(0, top, windowWidth, windowHeight - top);
    int inColour = 0, otherwise = 0;
    for (size_t i = 0; i < pixels.size(); i += 3) {
        const bool black = pixels[i] == 0 && pixels[i + 1] == 0 && pixels[i + 2] == 0;
        const bool orange = pixels[i] == 255 && pixels[i + 1] == 128 && pixels[i + 2] == 0;
        inColour += orange;
        otherwise += !black && !orange;
    }
    EXPECT_GT(inColour, 150);
    EXPECT_EQ(otherwise, 0);
}

TEST_F(CTextTest, WithoutAnyFontPrintDrawsNothing)
{
    const NoFontsInstalled noFonts;
    EXPECT_FALSE(GlyphFont("Comic Sans MS", true, 12).Loaded());
    testing::internal::CaptureStdout();
    CText text;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loading font\n");
    StartAt(300, 300);
    text.Print("Zombies left: %03d", 7);
    EXPECT_TRUE(RasterAt(300, 300));
    const std::vector<unsigned char> pixels = ReadArea(290, 290, 200, 30);
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0), long(pixels.size()));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
