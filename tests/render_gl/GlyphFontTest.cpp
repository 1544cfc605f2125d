// GlyphFont: the font lookup finds a real file and glyph bitmaps come out bottom row first.
#include "platform/GlyphFont.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>

namespace {

int BitsInRow(const GlyphFont::Glyph& glyph, int row)
{
    const int rowBytes = (glyph.width + 7) / 8;
    int count = 0;
    for (int column = 0; column < glyph.width; ++column)
        count += (glyph.bits[row * rowBytes + column / 8] >> (7 - column % 8)) & 1;
    return count;
}

TEST(GlyphFontTest, BitmapsRunBottomUpAgainstTheBaseline)
{
    const GlyphFont font("Comic Sans MS", true, 12);
    ASSERT_TRUE(std::filesystem::is_regular_file(font.FileName())) << font.FileName();
    std::cout << "font file: " << font.FileName() << "\n";
    const GlyphFont::Glyph ell = font.Render('L').value();
    const GlyphFont::Glyph tee = font.Render('T').value();
    const GlyphFont::Glyph gee = font.Render('g').value();
    for (const GlyphFont::Glyph* glyph : {&ell, &tee, &gee}) {
        EXPECT_EQ(glyph->bits.size(), size_t(glyph->rows * ((glyph->width + 7) / 8)));
        EXPECT_GT(glyph->advance, 0);
    }
    // L has its bar at the bottom, T at the top: the first row stored is the lowest.
    EXPECT_GT(BitsInRow(ell, 0), BitsInRow(ell, ell.rows - 1));
    EXPECT_LT(BitsInRow(tee, 0), BitsInRow(tee, tee.rows - 1));
    EXPECT_EQ(ell.top, ell.rows) << "capitals sit on the baseline";
    EXPECT_LT(gee.top, gee.rows) << "g reaches below the baseline";

    const GlyphFont::Glyph space = font.Render(' ').value();
    for (int row = 0; row < space.rows; ++row)
        EXPECT_EQ(BitsInRow(space, row), 0);
    EXPECT_GT(space.advance, 0);
}

} // namespace
