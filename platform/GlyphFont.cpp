// The font lookup on fontconfig and the one-bit glyph rendering on FreeType.
#include "platform/GlyphFont.h"

#include <algorithm>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

struct FontFile {
    std::string path;
    int index = 0;
};

FcPattern* Request(const char* family, bool bold, int pixelSize)
{
    FcPattern* const pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
    // Outline fonts first, as the game always asked for TrueType.
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

// Any installed font is an acceptable match; an empty path means there is none at all.
FontFile FindFontFile(const char* family, bool bold, int pixelSize)
{
    FcPattern* const pattern = Request(family, bold, pixelSize);
    FcResult result = FcResultNoMatch;
    FcPattern* const match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FontFile found;
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
        found.path = reinterpret_cast<const char*>(path);
        FcPatternGetInteger(match, FC_INDEX, 0, &found.index);
    }
    if (match != nullptr)
        FcPatternDestroy(match);
    return found;
}

// FreeType's rows run top-down with pitch bytes each (bottom-up when pitch is negative).
const unsigned char* TopRow(const FT_Bitmap& bitmap, unsigned int rowFromTop)
{
    const int pitch = bitmap.pitch;
    if (pitch >= 0)
        return bitmap.buffer + static_cast<size_t>(rowFromTop) * static_cast<size_t>(pitch);
    return bitmap.buffer + static_cast<size_t>(bitmap.rows - 1 - rowFromTop) * static_cast<size_t>(-pitch);
}

std::vector<unsigned char> BottomUpBits(const FT_Bitmap& bitmap)
{
    const size_t rowBytes = (bitmap.width + 7) / 8;
    std::vector<unsigned char> bits(rowBytes * bitmap.rows);
    for (unsigned int row = 0; row < bitmap.rows; ++row) {
        const unsigned char* const source = TopRow(bitmap, bitmap.rows - 1 - row);
        std::copy(source, source + rowBytes, bits.begin() + static_cast<std::ptrdiff_t>(row * rowBytes));
    }
    return bits;
}

} // namespace

GlyphFont::GlyphFont(const char* family, bool bold, int pixelSize)
{
    const FontFile found = FindFontFile(family, bold, pixelSize);
    if (found.path.empty() || FT_Init_FreeType(&library) != 0)
        return;
    if (FT_New_Face(library, found.path.c_str(), found.index, &face) != 0
        || FT_Set_Pixel_Sizes(face, 0, pixelSize) != 0) {
        FT_Done_FreeType(library);
        library = nullptr;
        face = nullptr;
        return;
    }
    fileName = found.path;
}

GlyphFont::~GlyphFont()
{
    // Closing the library also closes its face.
    if (library != nullptr)
        FT_Done_FreeType(library);
}

bool GlyphFont::Loaded() const
{
    return face != nullptr;
}

const std::string& GlyphFont::FileName() const
{
    return fileName;
}

std::optional<GlyphFont::Glyph> GlyphFont::Render(unsigned long code) const
{
    if (face == nullptr || FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0)
        return std::nullopt;
    const FT_GlyphSlot slot = face->glyph;
    if (slot->bitmap.rows > 0 && slot->bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
        return std::nullopt;
    Glyph glyph;
    glyph.width = static_cast<int>(slot->bitmap.width);
    glyph.rows = static_cast<int>(slot->bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    // The advance is in 26.6 fixed point; round it to whole pixels.
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    glyph.bits = BottomUpBits(slot->bitmap);
    return glyph;
}
