// Bitmap-font text: one display list per glyph, built from the installed font that best
// matches the game's choice, and a printf-like Print that calls them.
#include "render/CText.h"

#include "platform/GlyphFont.h"
#include "platform/StartupPhase.h"

#include <GL/gl.h>
#include <cstdarg>
#include <cstdio>

namespace {

const unsigned int firstCode = 32;
const unsigned int lastCode = 127;
const int blockSize = 256;
const int printBufferSize = 256;

void CompileGlyph(unsigned int list, const GlyphFont::Glyph& glyph)
{
    // Mesa records no bitmap at all for a null pointer, not even the advance of a blank glyph.
    static const GLubyte blank = 0;
    const GLubyte* const bits = glyph.bits.empty() ? &blank : glyph.bits.data();
    glNewList(list, GL_COMPILE);
    glBitmap(glyph.width, glyph.rows, static_cast<float>(-glyph.left),
             static_cast<float>(glyph.rows - glyph.top), static_cast<float>(glyph.advance), 0.0f, bits);
    glEndList();
}

// Drops every character without a glyph list, so no list outside the block is called.
int KeepGlyphCodes(char* text)
{
    int kept = 0;
    for (const char* from = text; *from != '\0'; ++from) {
        const unsigned char code = static_cast<unsigned char>(*from);
        if (code >= firstCode && code <= lastCode)
            text[kept++] = *from;
    }
    text[kept] = '\0';
    return kept;
}

} // namespace

CText::CText() : listBase(0)
{
    const StartupPhase phase("font and text");
    std::printf("Loading font\n");
    Build();
}

CText::~CText()
{
    // A failed reservation left 0: deleting from there would hit other owners' lists.
    if (listBase != 0)
        glDeleteLists(listBase, blockSize);
}

void CText::Build()
{
    listBase = glGenLists(blockSize);
    const GlyphFont font("Comic Sans MS", true, 12);
    if (listBase == 0 || !font.Loaded())
        return;
    // Glyph rows are packed to the byte; the caller's own pixel-store settings come back after.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (unsigned int code = firstCode; code <= lastCode; ++code) {
        const std::optional<GlyphFont::Glyph> glyph = font.Render(code);
        if (glyph)
            CompileGlyph(listBase + code - firstCode, *glyph);
    }
    glPopClientAttrib();
}

void CText::Print(const char* formatText, ...)
{
    if (formatText == nullptr || listBase == 0)
        return;
    char text[printBufferSize];
    va_list arguments;
    va_start(arguments, formatText);
    // Longer results are cut to the buffer.
    const int formatted = std::vsnprintf(text, sizeof text, formatText, arguments);
    va_end(arguments);
    if (formatted < 0)
        return;
    const int length = KeepGlyphCodes(text);
    glPushAttrib(GL_LIST_BIT);
    glListBase(listBase - firstCode);
    glCallLists(length, GL_UNSIGNED_BYTE, text);
    glPopAttrib();
}
