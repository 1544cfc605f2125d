// Start-up of the real game executable, from process start to its first presented frame:
// the clock starts just before the spawn and the preloaded shim stops it at the first swap.
#include "StartupBench.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Report {
    bool presented = false;
    double ms = 0;
    long peakKb = -1;
};

long long MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

std::vector<std::string> GameEnvironment(const std::string& shim, int reportFd)
{
    std::vector<std::string> entries = {"LD_PRELOAD=" + shim, "SDL_AUDIODRIVER=dummy",
                                        "SKARNHOLT_BENCH_REPORT_FD=" + std::to_string(reportFd)};
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (text.rfind("LD_PRELOAD=", 0) != 0 && text.rfind("SDL_AUDIODRIVER=", 0) != 0)
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

pid_t Spawn(const std::string& gameDir, std::vector<std::string>& environment)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, gameDir.c_str());
    std::string program = gameDir + "/skarnholt";
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

Report RunOnce(const std::string& gameDir, const std::string& shim)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return {};
    // Only the write end goes to the game, under a number of its own without close-on-exec.
    const int reportFd = dup(fds[1]);
    close(fds[1]);
    std::vector<std::string> environment = GameEnvironment(shim, reportFd);
    const long long start = MonotonicNs();
    const pid_t pid = Spawn(gameDir, environment);
    close(reportFd);
    const std::string text = ReadAll(fds[0]);
    close(fds[0]);
    if (pid > 0)
        waitpid(pid, nullptr, 0);
    long long swapNs = 0;
    Report report;
    report.presented = std::sscanf(text.c_str(), "%lld %ld", &swapNs, &report.peakKb) == 2;
    report.ms = (swapNs - start) / 1e6;
    return report;
}

} // namespace

StartupResults MeasureStartup(const std::string& gameDir, const std::string& shim, int runs)
{
    StartupResults results;
    results.toFirstFrame.name = "start-up to first frame";
    for (int attempt = 0; attempt < 2 * runs && static_cast<int>(results.peakKb.size()) < runs; ++attempt) {
        const Report report = RunOnce(gameDir, shim);
        if (!report.presented) {
            ++results.failedStarts;
            continue;
        }
        results.toFirstFrame.runs.push_back(report.ms);
        results.peakKb.push_back(static_cast<double>(report.peakKb));
    }
    return results;
}
