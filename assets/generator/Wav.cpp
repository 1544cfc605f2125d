// A plain RIFF/WAVE writer: one "fmt " chunk, one "data" chunk, little-endian 16-bit samples.
#include "Wav.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

void PutLe(std::vector<unsigned char>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

void PutTag(std::vector<unsigned char>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

bool WriteWav(const std::string& path, const std::vector<double>& samples, int channels)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<unsigned char> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    PutLe(out, 36 + dataBytes, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe(out, 16, 4);
    PutLe(out, 1, 2);  // PCM
    PutLe(out, channels, 2);
    PutLe(out, sampleRate, 4);
    PutLe(out, sampleRate * channels * 2, 4);
    PutLe(out, channels * 2, 2);
    PutLe(out, 16, 2);
    PutTag(out, "data");
    PutLe(out, dataBytes, 4);
    for (const double sample : samples) {
        const long value = std::lround(std::clamp(sample, -1.0, 1.0) * 32767.0);
        PutLe(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(value)), 2);
    }
    std::FILE* const file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}
