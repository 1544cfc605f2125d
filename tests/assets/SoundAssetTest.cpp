// The sounds as the game plays them: decoded by the sound layer, captured by SDL's disk
// driver, and checked for loudness and length.
#include "AssetTestSupport.h"

#include "platform/Sound.h"
#include "support/ScratchFolder.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace {

const int rate = 44100;
const int window = rate / 10;  // loudness is judged in tenths of a second
const double silentRms = 100.0;

// What the sound layer played, as mono-summed frames.
struct Capture {
    std::vector<double> frames;
    bool played = false;
};

// Bytes the disk driver has written to the capture so far.
long CapturedBytes(const char* path)
{
    struct stat status {};
    return stat(path, &status) == 0 ? static_cast<long>(status.st_size) : 0;
}

// Plays the file through the sound layer until it ends, or for ten minutes of audio;
// false when it did not start. Bounded by the audio written rather than by the clock, since
// an emulated machine takes minutes to decode what a native one does in a second; it gives
// up only when the capture has stopped growing for ten seconds.
bool PlayToTheEnd(const char* file, FMOD_MODE mode, bool stream, const char* capture)
{
    const long tenMinutes = 600L * rate * 4;
    FMOD_SYSTEM* system = nullptr;
    FMOD_SOUND* sound = nullptr;
    FMOD_System_Create(&system);
    FMOD_System_Init(system, 32, FMOD_INIT_NORMAL, nullptr);
    FMOD_System_CreateSound(system, file, mode, nullptr, &sound);
    if (!stream)
        FMOD_Sound_SetMode(sound, FMOD_LOOP_OFF);
    FMOD_CHANNEL* channel = nullptr;
    const bool played = FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, 0, &channel) == FMOD_OK;
    long captured = CapturedBytes(capture);
    Uint32 grewAt = SDL_GetTicks();
    while ((stream ? Mix_PlayingMusic() : Mix_Playing(-1)) && SDL_GetTicks() - grewAt < 10000 &&
           captured < tenMinutes) {
        SDL_Delay(5);
        if (CapturedBytes(capture) != captured) {
            captured = CapturedBytes(capture);
            grewAt = SDL_GetTicks();
        }
    }
    SDL_Delay(50);  // lets the driver write the buffer that held the end
    if (sound != nullptr)
        FMOD_Sound_Release(sound);
    FMOD_System_Release(system);
    return played;
}

// The disk driver writes each 4096-frame buffer to a file and then waits the given
// milliseconds: with 1 ms the mixer runs about seventy times faster than real time.
Capture Play(const char* file, FMOD_MODE mode, bool stream)
{
    const ScratchFolder scratch;
    const std::string path = scratch.Path("audio.raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);

    Capture capture;
    {
        const InGameFolder folder;
        // The disk driver announces itself on the console.
        CaptureOutput([&] { capture.played = PlayToTheEnd(file, mode, stream, path.c_str()); });
    }
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
    unsetenv("SDL_DISKAUDIODELAY");

    std::FILE* const raw = std::fopen(path.c_str(), "rb");
    std::int16_t pair[2];
    while (raw != nullptr && std::fread(pair, sizeof pair, 1, raw) == 1)
        capture.frames.push_back((pair[0] + pair[1]) / 2.0);
    if (raw != nullptr)
        std::fclose(raw);
    return capture;
}

int LoudWindows(const std::vector<double>& frames)
{
    int loud = 0;
    for (size_t start = 0; start + window <= frames.size(); start += window) {
        double sum = 0.0;
        for (size_t i = start; i < start + window; ++i)
            sum += frames[i] * frames[i];
        loud += std::sqrt(sum / window) > silentRms;
    }
    return loud;
}

double Peak(const std::vector<double>& frames)
{
    double peak = 0.0;
    for (const double f : frames)
        peak = std::max(peak, std::abs(f));
    return peak;
}

// The capture from the first audible frame on, to compare sounds regardless of start delay.
std::vector<double> FromOnset(const std::vector<double>& frames)
{
    size_t i = 0;
    while (i < frames.size() && std::abs(frames[i]) < 500.0)
        ++i;
    return std::vector<double>(frames.begin() + i, frames.end());
}

TEST(ExplosionSounds, AreLoudBlastsOfOneToTwoSecondsAndAllDifferent)
{
    const char* const files[] = {"explosion-01.wav", "explosion-02.wav", "explosion-03.wav", "explosion-04.wav"};
    std::vector<std::vector<double>> onsets;
    for (const char* file : files) {
        SCOPED_TRACE(file);
        const Capture capture = Play(file, FMOD_SOFTWARE, false);
        ASSERT_TRUE(capture.played);
        EXPECT_GT(Peak(capture.frames), 8000.0);
        const double seconds = LoudWindows(capture.frames) / 10.0;
        EXPECT_GE(seconds, 0.8);
        EXPECT_LE(seconds, 2.5);
        onsets.push_back(FromOnset(capture.frames));
        onsets.back().resize(rate / 2);
    }
    for (size_t a = 0; a < onsets.size(); ++a)
        for (size_t b = a + 1; b < onsets.size(); ++b)
            EXPECT_FALSE(onsets[a] == onsets[b]) << files[a] << " sounds like " << files[b];
}

TEST(ExplosionSounds, AreSixteenBitAt44100Hz)
{
    const InGameFolder folder;
    for (const char* file : {"explosion-01.wav", "explosion-02.wav", "explosion-03.wav", "explosion-04.wav"}) {
        SDL_AudioSpec wavFormat;
        Uint8* data = nullptr;
        Uint32 length = 0;
        ASSERT_NE(SDL_LoadWAV(file, &wavFormat, &data, &length), nullptr) << file << ": " << SDL_GetError();
        EXPECT_EQ(wavFormat.freq, rate) << file;
        EXPECT_EQ(wavFormat.format, AUDIO_S16LSB) << file;
        SDL_FreeWAV(data);
    }
}

// Streamed like the game does it; the track must carry on for at least a minute.
TEST(Music, PlaysForOverAMinuteWithoutFallingSilent)
{
    const Capture capture = Play("Buzz-0001.mp3", FMOD_CREATESTREAM | FMOD_SOFTWARE | FMOD_2D, true);
    ASSERT_TRUE(capture.played);
    EXPECT_GT(Peak(capture.frames), 8000.0);
    EXPECT_GE(LoudWindows(capture.frames), 600) << "tenths of a second with sound";
}

} // namespace
