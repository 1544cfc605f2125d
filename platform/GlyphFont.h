// A system font picked by fontconfig and rasterised by FreeType into one-bit glyph bitmaps.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct FT_LibraryRec_;
struct FT_FaceRec_;

class GlyphFont {
public:
    // One rendered character, laid out the way glBitmap takes it.
    struct Glyph {
        int width = 0;
        int rows = 0;
        int left = 0;      // pen position to the bitmap's left edge
        int top = 0;       // baseline to the bitmap's top row
        int advance = 0;   // pen movement after the character, in whole pixels
        std::vector<unsigned char> bits;   // rows bottom-up, (width + 7) / 8 bytes each
    };

    // Opens the installed font that best matches family and weight, at pixelSize pixels per em.
    GlyphFont(const char* family, bool bold, int pixelSize);
    ~GlyphFont();
    GlyphFont(const GlyphFont&) = delete;
    GlyphFont& operator=(const GlyphFont&) = delete;

    bool Loaded() const;
    const std::string& FileName() const;

    // Empty when the font is not loaded or cannot render the character in one bit per pixel.
    std::optional<Glyph> Render(unsigned long code) const;

private:
    std::string fileName;
    FT_LibraryRec_* library = nullptr;
    FT_FaceRec_* face = nullptr;
};
