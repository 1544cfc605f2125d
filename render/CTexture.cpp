// A BMP file turned into a mipmapped OpenGL texture; SDL decodes the file.
#include "render/CTexture.h"

#include "platform/StartupPhase.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>

namespace {

// Palette and 16-bit images have no GL data format of their own: they become 24-bit BGR.
SDL_Surface* ToTrueColour(SDL_Surface* surface)
{
    SDL_PixelFormat bgr = {};
    bgr.BitsPerPixel = 24;
    bgr.BytesPerPixel = 3;
    bgr.Rmask = 0xFF0000;
    bgr.Gmask = 0x00FF00;
    bgr.Bmask = 0x0000FF;
    bgr.Rshift = 16;
    bgr.Gshift = 8;
    bgr.alpha = 255;
    SDL_Surface* const converted = SDL_ConvertSurface(surface, &bgr, SDL_SWSURFACE);
    SDL_FreeSurface(surface);
    return converted;
}

SDL_Surface* LoadBmp(const char* fileName)
{
    SDL_RWops* const stream = SDL_RWFromFile(fileName, "rb");
    if (stream == nullptr)
        return nullptr;
    SDL_Surface* const surface = SDL_LoadBMP_RW(stream, 1);
    if (surface == nullptr || surface->format->BytesPerPixel >= 3)
        return surface;
    return ToTrueColour(surface);
}

GLenum DataFormat(const SDL_PixelFormat& format)
{
    const bool redInLowByte = format.Rmask == 0xFF;
    if (format.BytesPerPixel == 4)
        return redInLowByte ? GL_RGBA : GL_BGRA;
    return redInLowByte ? GL_RGB : GL_BGR;
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
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, surface.w, surface.h, 0, DataFormat(*surface.format),
                 GL_UNSIGNED_BYTE, surface.pixels);
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
