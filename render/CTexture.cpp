#include "render/CTexture.h"
CTexture::CTexture(const char*) : textureId(0) {}
CTexture::~CTexture() {}
void CTexture::Use() {}
