// A BMP file turned into a mipmapped OpenGL texture.
#pragma once

class CTexture {
public:
    explicit CTexture(const char* fileName);
    virtual ~CTexture();

    // Binds the texture to GL_TEXTURE_2D; does not enable texturing.
    void Use();

    unsigned int textureId;
};
