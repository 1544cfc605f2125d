// Start-up of the real game executable, from process start to its first presented frame.
#pragma once

#include "BenchSupport.h"

#include <string>

struct StartupResults {
    Measure toFirstFrame;
    // Peak memory of each run at its first frame, in kB.
    std::vector<double> peakKb;
    // Runs that ended before presenting a frame (a start that could not reach the display).
    int failedStarts = 0;
};

// Runs gameDir/skarnholt `runs` times from gameDir, stdout and stderr to /dev/null, with
// the shim preloaded; the current DISPLAY is used.
StartupResults MeasureStartup(const std::string& gameDir, const std::string& shim, int runs);
