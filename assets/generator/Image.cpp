// Painting tools and the 24-bit BMP writer for the generated textures.
#include "Image.h"

#include "Random.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

Colour Mix(const Colour& a, const Colour& b, double t)
{
    return a * (1.0 - t) + b * t;
}

Image::Image(int imageWidth, int imageHeight, const Colour& fill)
    : width(imageWidth), height(imageHeight), pixels(static_cast<size_t>(imageWidth) * imageHeight, fill)
{
}

int Image::Index(int x, int y) const
{
    const int wx = ((x % width) + width) % width;
    const int wy = ((y % height) + height) % height;
    return wy * width + wx;
}

Colour Image::At(int x, int y) const
{
    return pixels[Index(x, y)];
}

void Image::Set(int x, int y, const Colour& c)
{
    pixels[Index(x, y)] = c;
}

void Image::Blend(int x, int y, const Colour& c, double alpha)
{
    Colour& p = pixels[Index(x, y)];
    p = Mix(p, c, alpha);
}

void Image::Fill(int x, int y, int w, int h, const Colour& c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            Set(i, j, c);
}

void Image::BlendRect(int x, int y, int w, int h, const Colour& c, double alpha)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            Blend(i, j, c, alpha);
}

namespace {

void PutLe(std::vector<unsigned char>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

unsigned char Channel(double v)
{
    return static_cast<unsigned char>(std::clamp(std::lround(v), 0L, 255L));
}

} // namespace

bool Image::SaveBmp(const std::string& path) const
{
    // BMP rows run bottom-up in BGR order, each padded to a multiple of four bytes.
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(rowBytes) * height;
    const std::uint32_t headerBytes = 14 + 40;
    std::vector<unsigned char> out;
    out.push_back('B');
    out.push_back('M');
    PutLe(out, headerBytes + dataBytes, 4);
    PutLe(out, 0, 4);
    PutLe(out, headerBytes, 4);
    PutLe(out, 40, 4);
    PutLe(out, width, 4);
    PutLe(out, height, 4);
    PutLe(out, 1, 2);
    PutLe(out, 24, 2);
    PutLe(out, 0, 4);  // no compression
    PutLe(out, dataBytes, 4);
    PutLe(out, 2835, 4);  // 72 dpi
    PutLe(out, 2835, 4);
    PutLe(out, 0, 4);
    PutLe(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Colour& c = pixels[Index(x, y)];
            out.push_back(Channel(c.b));
            out.push_back(Channel(c.g));
            out.push_back(Channel(c.r));
        }
        out.resize(out.size() + (rowBytes - width * 3), 0);
    }
    std::FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

TileableNoise::TileableNoise(int repeatEvery, std::uint64_t seed) : period(repeatEvery)
{
    Random random(seed);
    lattice.resize(static_cast<size_t>(period) * period);
    for (double& value : lattice)
        value = random.Unit();
}

double TileableNoise::At(double x, double y) const
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const auto wrap = [this](double v) { return ((static_cast<long>(v) % period) + period) % period; };
    const long x0 = wrap(fx);
    const long y0 = wrap(fy);
    const long x1 = (x0 + 1) % period;
    const long y1 = (y0 + 1) % period;
    const auto smooth = [](double t) { return t * t * (3.0 - 2.0 * t); };
    const double tx = smooth(x - fx);
    const double ty = smooth(y - fy);
    const double top = lattice[y0 * period + x0] * (1 - tx) + lattice[y0 * period + x1] * tx;
    const double bottom = lattice[y1 * period + x0] * (1 - tx) + lattice[y1 * period + x1] * tx;
    return top * (1 - ty) + bottom * ty;
}

TileableFractal::TileableFractal(int size, int coarsest, int octaves, std::uint64_t seed)
{
    double weight = 1.0;
    int step = coarsest;
    for (int octave = 0; octave < octaves && step >= 1; ++octave) {
        layers.emplace_back(size / step, seed + 101 * octave);
        scales.push_back(step);
        totalWeight += weight;
        weight *= 0.5;
        step /= 2;
    }
}

double TileableFractal::At(int x, int y) const
{
    double sum = 0.0;
    double weight = 1.0;
    for (size_t i = 0; i < layers.size(); ++i) {
        sum += weight * layers[i].At(x / scales[i], y / scales[i]);
        weight *= 0.5;
    }
    return sum / totalWeight;
}
