// Frame, pick and blast timings on one started game window.
#pragma once

#include "BenchSupport.h"

#include <string>

struct FrameResults {
    bool started = false;
    Measure empty;
    Measure reference;
    Measure idle;
    Measure blast;
    Measure pick;
    // Resident memory gained per pick pass and the frame after it, in kB, over many passes.
    double pickMemoryKb = 0;
    int pickMemoryPasses = 0;
    // Blast frames that fell outside the blast phase, and the burst's live particles after each.
    int strayBlastFrames = 0;
    std::vector<double> burstPoints;
    int floorVertices = 0;
    int buildingVertices = 0;
    int zombies = 0;
};

// How many timed runs each measure gets; blasts are picks times frames per pick.
struct FrameRuns {
    int frames;
    int picks;
    int blastPicks;
    int framesPerBlast;
    int memoryPicks;
};

// Starts the game in gameDir (trace silenced) in the current display and times its frames.
FrameResults MeasureFrames(const std::string& gameDir, const FrameRuns& runs);
