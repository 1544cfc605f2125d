// Small tools of the benchmark: timing runs, medians, peak memory and a silenced stdout.
#pragma once

#include <string>
#include <vector>

// One measured quantity: its runs in milliseconds (or one value in other units).
struct Measure {
    std::string name;
    std::vector<double> runs;
};

// The middle run; the mean of the two middle runs for an even count, 0 for none.
double Median(std::vector<double> runs);
// The value below which a quarter (0.25) or three quarters (0.75) of the runs lie.
double Quantile(std::vector<double> runs, double fraction);

double NowMs();

// Runs work `runs` times and gives each run's wall time in milliseconds.
template <typename Work>
std::vector<double> TimeRuns(int runs, Work work)
{
    std::vector<double> times;
    times.reserve(runs);
    for (int run = 0; run < runs; ++run) {
        const double start = NowMs();
        work();
        times.push_back(NowMs() - start);
    }
    return times;
}

// VmHWM of /proc/<pid>/status ("self" for this process) in kB, -1 when it cannot be read.
long PeakMemoryKb(const std::string& pid = "self");
// This process's resident memory (VmRSS) in kB, -1 when it cannot be read.
long ResidentKb();

// While alive, whatever goes to file descriptor 1 ends in /dev/null, stdio buffer included.
class SilencedStdout {
public:
    SilencedStdout();
    ~SilencedStdout();
    SilencedStdout(const SilencedStdout&) = delete;
    SilencedStdout& operator=(const SilencedStdout&) = delete;

private:
    int saved;
};
