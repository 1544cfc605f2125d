// Bitmap-font text drawn at the current raster position, one display list per glyph.
#pragma once

class CText {
public:
    CText();
    virtual ~CText();

    void Build();
    void Print(const char* formatText, ...);

    unsigned int listBase;
};
