// An RGB picture to paint on, with the tools the textures need, saved as a 24-bit BMP.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Colour {
    double r, g, b;  // 0..255

    Colour operator*(double k) const { return {r * k, g * k, b * k}; }
    Colour operator+(const Colour& o) const { return {r + o.r, g + o.g, b + o.b}; }
};

Colour Mix(const Colour& a, const Colour& b, double t);

class Image {
public:
    Image(int imageWidth, int imageHeight, const Colour& fill);

    int Width() const { return width; }
    int Height() const { return height; }

    // Rows count from the picture's top. Coordinates wrap, so painting across an
    // edge continues on the opposite side: that keeps tiling textures seamless.
    Colour At(int x, int y) const;
    void Set(int x, int y, const Colour& c);
    void Blend(int x, int y, const Colour& c, double alpha);
    void Fill(int x, int y, int w, int h, const Colour& c);
    void BlendRect(int x, int y, int w, int h, const Colour& c, double alpha);

    bool SaveBmp(const std::string& path) const;

private:
    int Index(int x, int y) const;

    int width;
    int height;
    std::vector<Colour> pixels;
};

// Smooth value noise in [0, 1) that repeats every `period` units in x and y.
class TileableNoise {
public:
    TileableNoise(int repeatEvery, std::uint64_t seed);
    double At(double x, double y) const;

private:
    int period;
    std::vector<double> lattice;
};

// Sum of noise octaves over a square picture of `size` pixels, repeating at its edges;
// `coarsest` is the period in pixels of the first octave. Result in about [0, 1).
class TileableFractal {
public:
    TileableFractal(int size, int coarsest, int octaves, std::uint64_t seed);
    double At(int x, int y) const;

private:
    std::vector<TileableNoise> layers;
    std::vector<double> scales;  // pixels per lattice step of each layer
    double totalWeight = 0.0;
};
