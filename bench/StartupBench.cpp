// Start-up of the real game executable and of the benchmark's two yardsticks, from process
// start to the first presented frame: the clock starts just before the spawn, and the preloaded
// shim reports the phases the program marked and the moment its first frame was presented.
#include "StartupBench.h"

#include "support/ScratchFolder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// One start-up's phases, each name once, in the order first met.
using PhaseTimes = std::vector<std::pair<std::string, double>>;

struct Report {
    bool presented = false;
    double ms = 0;
    double cpuMs = 0;
    long peakKb = -1;
    PhaseTimes phases;
};

// A phase mark as the shim writes it: an empty name closes the phase opened last.
struct Mark {
    long long ns;
    std::string name;
};

long long MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// This process's environment with the shim preloaded, the silent audio driver, and `settings`
// (NAME=value entries) in place of any entries of the same names.
std::vector<std::string> ProgramEnvironment(const std::string& shim, std::vector<std::string> settings)
{
    settings.push_back("LD_PRELOAD=" + shim);
    settings.push_back("SDL_AUDIODRIVER=dummy");
    std::vector<std::string> entries = settings;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const auto sameName = [&text](const std::string& setting) {
            const size_t nameAndSign = setting.find('=') + 1;
            return text.compare(0, nameAndSign, setting, 0, nameAndSign) == 0;
        };
        if (std::none_of(settings.begin(), settings.end(), sameName))
            entries.push_back(text);
    }
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts)
{
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

pid_t Spawn(const std::string& gameDir, std::string program, std::vector<std::string>& environment)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, gameDir.c_str());
    char* const arguments[] = {program.data(), nullptr};
    std::vector<char*> env = Pointers(environment);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, arguments, env.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

std::string ReadAll(int fd)
{
    std::string text;
    char chunk[256];
    ssize_t got = 0;
    while ((got = read(fd, chunk, sizeof chunk)) > 0)
        text.append(chunk, static_cast<size_t>(got));
    return text;
}

void Add(PhaseTimes& phases, const std::string& name, double ms)
{
    for (auto& phase : phases) {
        if (phase.first == name) {
            phase.second += ms;
            return;
        }
    }
    phases.emplace_back(name, ms);
}

// Each interval between two marks goes to the innermost phase open then, so a phase's time
// leaves out the phases opened inside it. What lies outside every phase is summed apart.
PhaseTimes Phases(const std::vector<Mark>& marks, long long startNs, long long swapNs)
{
    PhaseTimes phases;
    long long last = marks.empty() ? startNs : marks.front().ns;
    Add(phases, startup_phase::beforeFirst, (last - startNs) / 1e6);
    std::vector<std::string> open;
    double outside = 0;
    for (const Mark& mark : marks) {
        const double ms = (mark.ns - last) / 1e6;
        if (open.empty())
            outside += ms;
        else
            Add(phases, open.back(), ms);
        if (!mark.name.empty())
            open.push_back(mark.name);
        else if (!open.empty())
            open.pop_back();
        last = mark.ns;
    }
    Add(phases, startup_phase::between, outside);
    Add(phases, startup_phase::firstFrame, (swapNs - last) / 1e6);
    return phases;
}

Report ParseReport(const std::string& text, long long startNs)
{
    Report report;
    std::vector<Mark> marks;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        std::string kind;
        long long ns = 0;
        words >> kind >> ns;
        if (kind == "begin") {
            std::string name;
            std::getline(words >> std::ws, name);
            marks.push_back({ns, name.empty() ? "?" : name});
        } else if (kind == "end") {
            marks.push_back({ns, ""});
        } else if (kind == "swap" && words >> report.peakKb >> report.cpuMs) {
            report.presented = true;
            report.ms = (ns - startNs) / 1e6;
            report.phases = Phases(marks, startNs, ns);
        }
    }
    return report;
}

Report RunOnce(const std::string& gameDir, const std::string& program, const std::string& shim)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {};
    // Only the write end goes to the program, under a number of its own without close-on-exec.
    const int reportFd = dup(fds[1]);
    close(fds[1]);
    std::vector<std::string> environment =
        ProgramEnvironment(shim, {"SKARNHOLT_BENCH_REPORT_FD=" + std::to_string(reportFd)});
    const long long start = MonotonicNs();
    const pid_t pid = Spawn(gameDir, program, environment);
    close(reportFd);
    const std::string text = ReadAll(fds[0]);
    close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    return ParseReport(text, start);
}

// Keeps one presented run; a phase that earlier runs did not mark counts 0 there.
void Keep(ProgramStartup& startup, int turn, const Report& report)
{
    const size_t earlierRuns = startup.toFirstFrame.runs.size();
    startup.toFirstFrame.runs.push_back(report.ms);
    startup.cpuToFirstFrame.runs.push_back(report.cpuMs);
    startup.turns.push_back(turn);
    startup.peakKb.push_back(static_cast<double>(report.peakKb));
    for (const auto& [name, ms] : report.phases) {
        std::vector<double>& runs = startup.phaseMs[name];
        if (runs.empty())
            startup.phaseOrder.push_back(name);
        runs.resize(earlierRuns, 0.0);
        runs.push_back(ms);
    }
    for (auto& [name, runs] : startup.phaseMs)
        runs.resize(earlierRuns + 1, 0.0);
}

// The first frame of `program`, as the capture shim wrote it; empty when it wrote none.
std::string CaptureFirstFrame(const std::string& gameDir, const std::string& program, const std::string& shim,
                              const std::string& file, time_t calendar)
{
    std::vector<std::string> environment = ProgramEnvironment(
        shim, {"SKARNHOLT_BENCH_TIME=" + std::to_string(calendar), "SKARNHOLT_BENCH_FRAME_FILE=" + file});
    std::remove(file.c_str());
    const pid_t pid = Spawn(gameDir, program, environment);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    std::ifstream stream(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

} // namespace

std::vector<ProgramStartup> MeasureStartup(const std::string& gameDir, const std::vector<StartupProgram>& programs,
                                           const std::string& shim, int runs)
{
    const int attemptsPerRun = 3;
    std::vector<ProgramStartup> results(programs.size());
    for (size_t index = 0; index < programs.size(); ++index) {
        results[index].name = programs[index].name;
        results[index].toFirstFrame.name = programs[index].name;
        results[index].cpuToFirstFrame.name = programs[index].name;
    }
    for (int run = 0; run < runs; ++run) {
        for (size_t index = 0; index < programs.size(); ++index) {
            for (int attempt = 0; attempt < attemptsPerRun; ++attempt) {
                const Report report = RunOnce(gameDir, programs[index].path, shim);
                if (report.presented) {
                    Keep(results[index], run, report);
                    break;
                }
                ++results[index].failedStarts;
            }
        }
    }
    return results;
}

FrameComparison CompareFirstFrames(const std::string& gameDir, const std::string& game, const std::string& anchor,
                                   const std::string& captureShim)
{
    const int attempts = 3;
    FrameComparison comparison;
    const ScratchFolder folder;
    const time_t calendar = std::time(nullptr);
    std::string frames[2];
    const std::string* const programs[2] = {&game, &anchor};
    for (int index = 0; index < 2 && folder.Made(); ++index) {
        for (int attempt = 0; attempt < attempts && frames[index].empty(); ++attempt)
            frames[index] = CaptureFirstFrame(gameDir, *programs[index], captureShim, folder.Path("frame"), calendar);
    }
    if (frames[0].empty() || frames[0].size() != frames[1].size())
        return comparison;
    comparison.compared = true;
    comparison.pixels = static_cast<long>(frames[0].size() / 3);
    for (size_t at = 0; at < frames[0].size(); at += 3) {
        int largest = 0;
        for (size_t channel = at; channel < at + 3; ++channel) {
            const int difference = std::abs(static_cast<unsigned char>(frames[0][channel]) -
                                            static_cast<unsigned char>(frames[1][channel]));
            largest = std::max(largest, difference);
        }
        comparison.differingPixels += largest > 0 ? 1 : 0;
        comparison.largestDifference = std::max(comparison.largestDifference, largest);
    }
    return comparison;
}

std::vector<double> RatiosByTurn(const ProgramStartup& a, const ProgramStartup& b, Measure ProgramStartup::*time)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < a.turns.size(); ++i) {
        for (size_t j = 0; j < b.turns.size(); ++j) {
            if (a.turns[i] == b.turns[j])
                ratios.push_back((a.*time).runs[i] / (b.*time).runs[j]);
        }
    }
    return ratios;
}
