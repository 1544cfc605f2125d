// The game's sound calls: a small plain-function audio interface (system, streamed
// music, whole samples), implemented on SDL_mixer. Every failure is silent.
#pragma once

struct FMOD_SYSTEM;
struct FMOD_SOUND;
struct FMOD_CHANNEL;
struct FMOD_CREATESOUNDEXINFO;

// An int-sized result, as the plain-function interface this stands in for returns it.
enum FMOD_RESULT { FMOD_OK = 0, FMOD_ERR_FAILED = 1 }; // NOLINT(performance-enum-size)

typedef unsigned int FMOD_MODE;
typedef unsigned int FMOD_INITFLAGS;
typedef int FMOD_CHANNELINDEX;
typedef int FMOD_BOOL;

// Mode bits of FMOD_System_CreateSound and FMOD_Sound_SetMode.
const FMOD_MODE FMOD_LOOP_OFF = 0x01;
const FMOD_MODE FMOD_2D = 0x08;
const FMOD_MODE FMOD_SOFTWARE = 0x40;
const FMOD_MODE FMOD_CREATESTREAM = 0x80;

const FMOD_INITFLAGS FMOD_INIT_NORMAL = 0;
const FMOD_CHANNELINDEX FMOD_CHANNEL_FREE = -1;

FMOD_RESULT FMOD_System_Create(FMOD_SYSTEM** system);
FMOD_RESULT FMOD_System_Init(FMOD_SYSTEM* system, int maxChannels, FMOD_INITFLAGS flags, void* extraDriverData);
FMOD_RESULT FMOD_System_CreateSound(FMOD_SYSTEM* system, const char* name, FMOD_MODE mode,
                                    FMOD_CREATESOUNDEXINFO* exinfo, FMOD_SOUND** sound);
FMOD_RESULT FMOD_Sound_SetMode(FMOD_SOUND* sound, FMOD_MODE mode);
FMOD_RESULT FMOD_System_PlaySound(FMOD_SYSTEM* system, FMOD_CHANNELINDEX channelIndex, FMOD_SOUND* sound,
                                  FMOD_BOOL paused, FMOD_CHANNEL** channel);
FMOD_RESULT FMOD_System_Update(FMOD_SYSTEM* system);
FMOD_RESULT FMOD_Sound_Release(FMOD_SOUND* sound);
FMOD_RESULT FMOD_System_Close(FMOD_SYSTEM* system);
FMOD_RESULT FMOD_System_Release(FMOD_SYSTEM* system);
