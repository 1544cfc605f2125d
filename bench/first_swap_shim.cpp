// Preloaded by the benchmark into the game, its start-up anchor and its bare window: notes the
// start-up phases that a program marks (platform/StartupPhase.h), and at the first presented
// frame writes them with the monotonic clock and the peak memory so far to the descriptor that
// the benchmark names in SKARNHOLT_BENCH_REPORT_FD, then ends the program there:
//   begin <ns> <name>     a phase opens (phases nest)
//   end <ns>              the phase opened last closes
//   swap <ns> <peak kB> <CPU ms>   the first frame has been presented; the processor time that
//                                  all the program's threads have used so far
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A phase mark: its name, or null for the end of the phase opened last.
struct Mark {
    long long ns;
    const char* name;
};

// Far more than a start-up marks; marks beyond are dropped, and the benchmark sees them missing.
Mark marks[256];
int markCount = 0;

long long NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

void Note(const char* name)
{
    if (markCount < static_cast<int>(sizeof marks / sizeof marks[0]))
        marks[markCount++] = {NowNs(), name};
}

long PeakMemoryKb()
{
    FILE* const status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    long peak = -1;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmHWM: %ld", &peak) == 1)
            break;
    }
    std::fclose(status);
    return peak;
}

double CpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

extern "C" void skarnholt_phase_begin(const char* name)
{
    Note(name);
}

extern "C" void skarnholt_phase_end()
{
    Note(nullptr);
}

extern "C" void SDL_GL_SwapBuffers(void)
{
    using Swap = void (*)();
    const auto swap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    swap();
    const long long swapNs = NowNs();
    const char* const fd = std::getenv("SKARNHOLT_BENCH_REPORT_FD");
    if (fd != nullptr) {
        const int out = std::atoi(fd);
        for (int index = 0; index < markCount; ++index) {
            if (marks[index].name != nullptr)
                dprintf(out, "begin %lld %s\n", marks[index].ns, marks[index].name);
            else
                dprintf(out, "end %lld\n", marks[index].ns);
        }
        dprintf(out, "swap %lld %ld %.3f\n", swapNs, PeakMemoryKb(), CpuMs());
    }
    _exit(0);
}
