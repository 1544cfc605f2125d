// The sound calls on SDL_mixer: music is streamed with Mix_LoadMUS and played once,
// explosion samples are decoded whole with Mix_LoadWAV and played on any free channel.
// A missing device or file leaves a handle that plays nothing, so the game goes on silently.
#include "platform/Sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdint>

struct FMOD_SYSTEM {
    bool open = false;
};

struct FMOD_SOUND {
    Mix_Music* music = nullptr;   // set for streamed sounds
    Mix_Chunk* chunk = nullptr;   // set for samples loaded whole
    int loops = 0;                // extra repetitions: 0 plays once
};

namespace {

// 4096 frames at 44.1 kHz: large enough for software GL frames that take 20 ms or more.
const int mixRate = 44100;
const int mixChannels = 2;
const int mixBufferFrames = 4096;

FMOD_RESULT Result(bool ok) { return ok ? FMOD_OK : FMOD_ERR_FAILED; }

} // namespace

FMOD_RESULT FMOD_System_Create(FMOD_SYSTEM** system)
{
    if (system == nullptr)
        return FMOD_ERR_FAILED;
    *system = new FMOD_SYSTEM;
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_Init(FMOD_SYSTEM* system, int maxChannels, FMOD_INITFLAGS, void*)
{
    if (system == nullptr || system->open)
        return FMOD_ERR_FAILED;
    if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, mixChannels, mixBufferFrames) != 0)
        return FMOD_ERR_FAILED;
    Mix_AllocateChannels(maxChannels);
    system->open = true;
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_CreateSound(FMOD_SYSTEM* system, const char* name, FMOD_MODE mode,
                                    FMOD_CREATESOUNDEXINFO*, FMOD_SOUND** sound)
{
    if (sound == nullptr)
        return FMOD_ERR_FAILED;
    *sound = nullptr;
    // Without an open device there is nothing to decode for.
    if (system == nullptr || !system->open || name == nullptr)
        return FMOD_ERR_FAILED;
    FMOD_SOUND* made = new FMOD_SOUND;
    if (mode & FMOD_CREATESTREAM)
        made->music = Mix_LoadMUS(name);
    else
        made->chunk = Mix_LoadWAV(name);
    if (made->music == nullptr && made->chunk == nullptr) {
        delete made;
        return FMOD_ERR_FAILED;
    }
    *sound = made;
    return FMOD_OK;
}

FMOD_RESULT FMOD_Sound_SetMode(FMOD_SOUND* sound, FMOD_MODE mode)
{
    if (sound == nullptr)
        return FMOD_ERR_FAILED;
    if (mode & FMOD_LOOP_OFF)
        sound->loops = 0;
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX channelIndex, FMOD_SOUND* sound,
                                  FMOD_BOOL, FMOD_CHANNEL** channel)
{
    if (channel != nullptr)
        *channel = nullptr;
    if (system == nullptr || !system->open || sound == nullptr)
        return FMOD_ERR_FAILED;
    if (sound->music != nullptr)
        return Result(Mix_PlayMusic(sound->music, sound->loops) == 0);
    const int played = Mix_PlayChannel(channelIndex, sound->chunk, sound->loops);
    // The channel handle is only an identity for the caller; nobody dereferences it, so no
    // optimisation is lost by making it from the channel's number.
    if (played >= 0 && channel != nullptr)
        *channel = reinterpret_cast<FMOD_CHANNEL*>(static_cast<intptr_t>(played + 1)); // NOLINT(performance-no-int-to-ptr)
    return Result(played >= 0);
}

FMOD_RESULT FMOD_System_Update(FMOD_SYSTEM* system)
{
    // SDL_mixer plays from its own audio thread; there is nothing to pump.
    return Result(system != nullptr);
}

FMOD_RESULT FMOD_Sound_Release(FMOD_SOUND* sound)
{
    if (sound == nullptr)
        return FMOD_ERR_FAILED;
    if (sound->music != nullptr)
        Mix_FreeMusic(sound->music);
    if (sound->chunk != nullptr)
        Mix_FreeChunk(sound->chunk);
    delete sound;
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_Close(FMOD_SYSTEM* system)
{
    if (system == nullptr || !system->open)
        return FMOD_ERR_FAILED;
    Mix_CloseAudio();
    system->open = false;
    return FMOD_OK;
}

FMOD_RESULT FMOD_System_Release(FMOD_SYSTEM* system)
{
    if (system == nullptr)
        return FMOD_ERR_FAILED;
    if (system->open)
        FMOD_System_Close(system);
    delete system;
    return FMOD_OK;
}
