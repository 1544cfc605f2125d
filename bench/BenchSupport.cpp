// Small tools of the benchmark: timing runs, medians, peak memory and a silenced stdout.
#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <unistd.h>

double Median(std::vector<double> runs)
{
    if (runs.empty())
        return 0;
    std::sort(runs.begin(), runs.end());
    const size_t middle = runs.size() / 2;
    return runs.size() % 2 != 0 ? runs[middle] : (runs[middle - 1] + runs[middle]) / 2;
}

double Quantile(std::vector<double> runs, double fraction)
{
    if (runs.empty())
        return 0;
    std::sort(runs.begin(), runs.end());
    const size_t index = static_cast<size_t>(std::lround(fraction * (runs.size() - 1)));
    return runs[index];
}

double NowMs()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double, std::milli>(now).count();
}

namespace {

// One kB figure of /proc/<pid>/status, -1 when it cannot be read.
long StatusKb(const std::string& pid, const std::string& field)
{
    std::ifstream status("/proc/" + pid + "/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == field && status >> value)
            return value;
        status.ignore(1 << 16, '\n');
    }
    return -1;
}

} // namespace

long PeakMemoryKb(const std::string& pid) { return StatusKb(pid, "VmHWM:"); }

long ResidentKb() { return StatusKb("self", "VmRSS:"); }

SilencedStdout::SilencedStdout() : saved(dup(STDOUT_FILENO))
{
    std::fflush(stdout);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
}

SilencedStdout::~SilencedStdout()
{
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
}
