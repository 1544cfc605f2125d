// A BMP file turned into a mipmapped OpenGL texture; SDL decodes the file.
#include "render/CTexture.h"

#include "platform/StartupPhase.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>

namespace {

// How GL is to read a surface's pixels: format and type, or none when it cannot as they are.
struct PixelLayout {
    GLenum format;
    GLenum type;
};
const PixelLayout unreadable = {0, 0};

// The byte of a pixel, in memory order, that holds the bits from `shift` up. SDL describes
// a pixel as an integer read in the machine's byte order: on a big-endian machine the high
// bits come first.
int ByteHolding(int shift, int bytesPerPixel)
{
    const int fromLowEnd = shift / 8;
    return SDL_BYTEORDER == SDL_LIL_ENDIAN ? fromLowEnd : bytesPerPixel - 1 - fromLowEnd;
}

// Three bytes a pixel: GL reads them in memory order, so the byte order decides where red is.
// Four bytes a pixel: GL's reversed packed type reads a native 32-bit word with the first
// channel in the low bits, whatever the byte order; the top byte is the alpha.
PixelLayout LayoutOf(const SDL_PixelFormat& format)
{
    const int bytes = format.BytesPerPixel;
    const bool redLow = format.Rshift == 0 && format.Gshift == 8 && format.Bshift == 16;
    const bool blueLow = format.Bshift == 0 && format.Gshift == 8 && format.Rshift == 16;
    if (bytes == 3 && (redLow || blueLow)) {
        const bool redFirst = ByteHolding(format.Rshift, bytes) == 0;
        return {redFirst ? GLenum(GL_RGB) : GLenum(GL_BGR), GL_UNSIGNED_BYTE};
    }
    if (bytes == 4 && (redLow || blueLow))
        return {redLow ? GLenum(GL_RGBA) : GLenum(GL_BGRA), GL_UNSIGNED_INT_8_8_8_8_REV};
    return unreadable;
}

// Palette, 16-bit and other layouts become native 32-bit words of blue, green, red and an
// opaque alpha, from the low bits up, which LayoutOf knows.
SDL_Surface* ToTrueColour(SDL_Surface* surface)
{
    SDL_PixelFormat argb = {};
    argb.BitsPerPixel = 32;
    argb.BytesPerPixel = 4;
    argb.Rmask = 0x00FF0000;
    argb.Gmask = 0x0000FF00;
    argb.Bmask = 0x000000FF;
    argb.Amask = 0xFF000000;
    argb.Rshift = 16;
    argb.Gshift = 8;
    argb.Ashift = 24;
    argb.alpha = 255;
    SDL_Surface* const converted = SDL_ConvertSurface(surface, &argb, SDL_SWSURFACE);
    SDL_FreeSurface(surface);
    return converted;
}

SDL_Surface* LoadBmp(const char* fileName)
{
    SDL_RWops* const stream = SDL_RWFromFile(fileName, "rb");
    if (stream == nullptr)
        return nullptr;
    SDL_Surface* const surface = SDL_LoadBMP_RW(stream, 1);
    if (surface == nullptr || LayoutOf(*surface->format).format != 0)
        return surface;
    return ToTrueColour(surface);
}

void SetParameters()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
}

// SDL pads rows to 4 bytes; unpack with exactly that, whatever the caller had set,
// and hand the caller's pixel-store settings back afterwards.
void UploadLevelZero(const SDL_Surface& surface)
{
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    const PixelLayout layout = LayoutOf(*surface.format);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, surface.w, surface.h, 0, layout.format, layout.type,
                 surface.pixels);
    glPopClientAttrib();
}

} // namespace

CTexture::CTexture(const char* fileName) : textureId(0)
{
    const StartupPhase phase("textures");
    glGenTextures(1, &textureId);
    std::printf("Loading %s\n", fileName);
    SDL_Surface* const surface = LoadBmp(fileName);
    if (surface == nullptr) {
        std::printf("Problem loading %s\n", fileName);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureId);
    SetParameters();
    UploadLevelZero(*surface);
    SDL_FreeSurface(surface);
    glDisable(GL_TEXTURE_2D);
}

CTexture::~CTexture() {}

void CTexture::Use()
{
    glBindTexture(GL_TEXTURE_2D, textureId);
}
