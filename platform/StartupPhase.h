// Names the start-up phase that a scope's work belongs to, for a library preloaded into the game
// to time (the benchmark's); without one, each mark costs a test of a null pointer and nothing else.
#pragma once

extern "C" {
// Weak and defined nowhere in the game: only a preloaded library can give them an address.
void skarnholt_phase_begin(const char* name) __attribute__((weak));
void skarnholt_phase_end() __attribute__((weak));
}

// From construction to destruction the time is the named phase's, less that of phases opened
// inside it: a texture loaded by the model counts as texture time, not model time.
class StartupPhase {
public:
    explicit StartupPhase(const char* name)
    {
        if (skarnholt_phase_begin != nullptr)
            skarnholt_phase_begin(name);
    }
    ~StartupPhase()
    {
        if (skarnholt_phase_end != nullptr)
            skarnholt_phase_end();
    }
    StartupPhase(const StartupPhase&) = delete;
    StartupPhase& operator=(const StartupPhase&) = delete;
};
