// The sound layer stays silent, never fatal, whatever fails: no device, a missing or
// unreadable file, or calls on handles that were never made.
#include "platform/Sound.h"
#include "support/ScratchFolder.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

// `bytes` bytes of `value`, least significant first, as RIFF files hold every number.
std::string LittleEndian(unsigned value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// A valid one-second 16-bit mono WAV of a square wave.
std::string SquareWave()
{
    const int rate = 22050, samples = rate;
    std::string data;
    for (int i = 0; i < samples; ++i)
        data += LittleEndian((i / 50) % 2 ? 8000 : 0x10000 - 8000, 2);
    auto u32 = [](unsigned v) { return LittleEndian(v, 4); };
    auto u16 = [](unsigned v) { return LittleEndian(v, 2); };
    return "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate) +
           u32(rate * 2) + u16(2) + u16(16) + "data" + u32(data.size()) + data;
}

class SoundLayer : public testing::Test {
protected:
    void TearDown() override
    {
        FMOD_System_Release(system);
        SDL_Quit();
    }

    FMOD_SYSTEM* system = nullptr;
    const ScratchFolder scratch;
};

TEST_F(SoundLayer, WithoutADeviceEveryCallFailsQuietly)
{
    setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
    ASSERT_EQ(FMOD_System_Create(&system), FMOD_OK);
    EXPECT_NE(FMOD_System_Init(system, 32, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    const std::string wave = scratch.Write("square.wav", SquareWave());
    FMOD_SOUND* sound = reinterpret_cast<FMOD_SOUND*>(1);
    EXPECT_NE(FMOD_System_CreateSound(system, wave.c_str(), FMOD_SOFTWARE, nullptr, &sound), FMOD_OK);
    EXPECT_EQ(sound, nullptr);
    FMOD_CHANNEL* channel = reinterpret_cast<FMOD_CHANNEL*>(1);
    EXPECT_NE(FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, false, &channel), FMOD_OK);
    EXPECT_EQ(channel, nullptr);
    FMOD_System_Update(system);
    EXPECT_NE(FMOD_Sound_SetMode(sound, FMOD_LOOP_OFF), FMOD_OK);
    EXPECT_NE(FMOD_Sound_Release(sound), FMOD_OK);
    EXPECT_NE(FMOD_System_Close(system), FMOD_OK);
}

TEST_F(SoundLayer, MissingAndUnreadableFilesGiveNoSound)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(FMOD_System_Create(&system), FMOD_OK);
    ASSERT_EQ(FMOD_System_Init(system, 32, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    for (const char* name : {"no-such-file.wav", "no-such-file.mp3"}) {
        FMOD_SOUND* sample = nullptr;
        FMOD_SOUND* stream = nullptr;
        FMOD_System_CreateSound(system, name, FMOD_SOFTWARE, nullptr, &sample);
        FMOD_System_CreateSound(system, name, FMOD_CREATESTREAM | FMOD_SOFTWARE | FMOD_2D, nullptr, &stream);
        EXPECT_EQ(sample, nullptr) << name;
        EXPECT_EQ(stream, nullptr) << name;
        EXPECT_NE(FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sample, false, nullptr), FMOD_OK);
    }

    // A stream is decoded while it plays, so garbage may still give a handle: playing it
    // must stay harmless. A sample is decoded whole and is refused at once.
    const std::string garbage = scratch.Write("garbage.mp3", std::string(4096, '\x5a'));
    FMOD_SOUND* sample = nullptr;
    FMOD_SOUND* stream = nullptr;
    FMOD_System_CreateSound(system, garbage.c_str(), FMOD_SOFTWARE, nullptr, &sample);
    FMOD_System_CreateSound(system, garbage.c_str(), FMOD_CREATESTREAM | FMOD_SOFTWARE | FMOD_2D, nullptr,
                            &stream);
    EXPECT_EQ(sample, nullptr);
    FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, stream, false, nullptr);
    SDL_Delay(200);
    FMOD_System_Update(system);
    FMOD_Sound_Release(stream);
}

TEST_F(SoundLayer, EachPlayStartsOnAFreeChannelOverEarlierSounds)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(FMOD_System_Create(&system), FMOD_OK);
    ASSERT_EQ(FMOD_System_Init(system, 32, FMOD_INIT_NORMAL, nullptr), FMOD_OK);
    const std::string wave = scratch.Write("square.wav", SquareWave());
    FMOD_SOUND* sound = nullptr;
    ASSERT_EQ(FMOD_System_CreateSound(system, wave.c_str(), FMOD_SOFTWARE, nullptr, &sound), FMOD_OK);
    ASSERT_EQ(FMOD_Sound_SetMode(sound, FMOD_LOOP_OFF), FMOD_OK);
    FMOD_CHANNEL* first = nullptr;
    FMOD_CHANNEL* second = nullptr;
    ASSERT_EQ(FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, false, &first), FMOD_OK);
    ASSERT_EQ(FMOD_System_PlaySound(system, FMOD_CHANNEL_FREE, sound, false, &second), FMOD_OK);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(Mix_Playing(-1), 2);
    // Played once, not looped: after its one second the channels are free again.
    SDL_Delay(1500);
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_EQ(FMOD_Sound_Release(sound), FMOD_OK);
}

} // namespace
