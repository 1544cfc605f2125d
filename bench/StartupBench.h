// Start-up of the real game executable and of the benchmark's two yardsticks, from process
// start to the first presented frame, with the time each start-up phase took.
#pragma once

#include "BenchSupport.h"

#include <map>
#include <string>
#include <vector>

// A program whose start-up is timed: a name for the tables and its executable.
struct StartupProgram {
    std::string name;
    std::string path;
};

// Times not marked by the program itself: from process start to its first phase, between its
// phases, and from the end of its last phase to the first presented frame.
namespace startup_phase {
const char* const beforeFirst = "process start to the first phase";
const char* const between = "outside any phase";
const char* const firstFrame = "first frame (to the swap's return)";
} // namespace startup_phase

struct ProgramStartup {
    std::string name;
    Measure toFirstFrame;
    // The processor time all the program's threads had used by then, less bound to the
    // machine's load than the wall time.
    Measure cpuToFirstFrame;
    // The turn each of those runs was taken in, so that runs of two programs can be paired.
    std::vector<int> turns;
    // Peak memory of each run at its first frame, in kB.
    std::vector<double> peakKb;
    // Each phase's time in every run, in ms (0 where a run did not mark it), and the phases'
    // names in the order the program went through them.
    std::map<std::string, std::vector<double>> phaseMs;
    std::vector<std::string> phaseOrder;
    // Runs that ended before presenting a frame (a start that could not reach the display).
    int failedStarts = 0;
};

// Runs every program `runs` times from gameDir, taking turns (the first, the second, ...,
// the first again), stdout and stderr to /dev/null, with the shim preloaded; the current
// DISPLAY is used. A start that presents no frame is run again, twice at most.
std::vector<ProgramStartup> MeasureStartup(const std::string& gameDir, const std::vector<StartupProgram>& programs,
                                           const std::string& shim, int runs);

// The ratio of a's time to b's (wall or processor) in every turn where both presented a frame.
std::vector<double> RatiosByTurn(const ProgramStartup& a, const ProgramStartup& b, Measure ProgramStartup::*time);

// How the anchor's first frame compares with the game's, both drawn with the calendar and SDL's
// clock held at the same values (so the same city and the same text line).
struct FrameComparison {
    bool compared = false;
    long pixels = 0;
    // Pixels that differ in any colour, and the largest difference of one colour, 0 to 255.
    long differingPixels = 0;
    int largestDifference = 0;
};

FrameComparison CompareFirstFrames(const std::string& gameDir, const std::string& game, const std::string& anchor,
                                   const std::string& captureShim);
