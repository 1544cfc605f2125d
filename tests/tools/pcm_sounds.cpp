// Reads raw signed 16-bit stereo 44.1 kHz audio (as SDL's disk driver writes it) and
// reports its length, its loudness, and the moments at which a sound starts from quiet.
//   pcm_sounds FILE [FROM_SECONDS]
// Prints "seconds S", "peak P", "rms R" and one "onset T" line per start, T in seconds.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

const int sampleRate = 44100;
const int windowFrames = sampleRate / 100;   // 10 ms of audio per loudness window
const double quietRms = 100.0;               // below this a window counts as quiet
const double loudRms = 1500.0;               // above this a window counts as a sound
const int quietWindowsBeforeOnset = 5;       // 50 ms of quiet separate two sounds

std::vector<int16_t> ReadSamples(const char* path)
{
    std::vector<int16_t> samples;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr)
        return samples;
    int16_t block[4096];
    size_t got;
    while ((got = std::fread(block, sizeof(int16_t), 4096, file)) > 0)
        samples.insert(samples.end(), block, block + got);
    std::fclose(file);
    return samples;
}

double WindowRms(const std::vector<int16_t>& samples, size_t first, size_t count)
{
    double sum = 0;
    for (size_t i = first; i < first + count; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / count);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: pcm_sounds FILE [FROM_SECONDS]\n");
        return 2;
    }
    const std::vector<int16_t> samples = ReadSamples(argv[1]);
    const double from = argc > 2 ? std::atof(argv[2]) : 0.0;
    const size_t windowSamples = windowFrames * 2;
    int peak = 0;
    for (const int16_t s : samples)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    std::printf("seconds %.3f\npeak %d\nrms %.1f\n", samples.size() / 2.0 / sampleRate, peak,
                samples.empty() ? 0.0 : WindowRms(samples, 0, samples.size()));

    // Armed after enough quiet; stays armed while a sound swells, fires once it is loud.
    int quietRun = quietWindowsBeforeOnset;
    bool armed = true;
    const size_t firstWindow = static_cast<size_t>(from * 100);
    for (size_t w = firstWindow; (w + 1) * windowSamples <= samples.size(); ++w) {
        const double rms = WindowRms(samples, w * windowSamples, windowSamples);
        quietRun = rms < quietRms ? quietRun + 1 : 0;
        if (quietRun >= quietWindowsBeforeOnset)
            armed = true;
        if (rms > loudRms && armed) {
            std::printf("onset %.2f\n", w / 100.0);
            armed = false;
        }
    }
    return 0;
}
