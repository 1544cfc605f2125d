// Preloaded into the real game by end-to-end tests: logs, with the wall clock in ns, the
// SDL and GLU calls that show what the game does frame by frame, to the file named by
// SKARNHOLT_PROBE_LOG. Each call is passed on unchanged.
// SIGUSR1 asks it for a reading of the memory the game holds, taken after the next frame: it
// hands the heap's free pages back to the system first, since a leak would otherwise fill
// pages that the GL driver once used and freed, and resident memory would show nothing for a
// while. The heap's bytes in use are exact, in every thread's arena, whatever the page size.
//   <ns> attr <attribute> <value>   SDL_GL_SetAttribute
//   <ns> icon                       SDL_WM_SetIcon
//   <ns> videomode                  SDL_SetVideoMode
//   <ns> eye <x> <y> <z>            gluLookAt: the camera of a frame or a pick pass
//   <ns> disk <inner> <outer>       gluDisk: the pick marker (0.4 0.8) and the blast ring
//   <ns> swap                       SDL_GL_SwapBuffers: a presented frame
//   <ns> held <heap> <resident>     after a SIGUSR1: bytes in use on the heap and resident kB,
//                                   once the heap's free pages are handed back
//   <ns> lists <count>              glCallList calls since the frame before (1 + the buildings
//                                   shown, and 1 for a pick pass), when the count changes
//   <ns> select                     glRenderMode(GL_SELECT): a pick pass begins
//   <ns> hits <count>               glRenderMode back to GL_RENDER: the pick pass's hit records
//   <ns> clicktime                  the first SDL_GetTicks on the same thread after a pick pass:
//                                   where the game takes a click's time
//   <ns> play                       Mix_PlayChannelTimed: a sound effect started
// With SKARNHOLT_PROBE_NO_LISTS set, glGenLists gives 0, as a driver out of lists would.
#include <GL/glu.h>
#include <SDL.h>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <csignal>
#include <dlfcn.h>
#include <malloc.h>
#include <pthread.h>
#include <string>
#include <unistd.h>

namespace {

// The wall clock, so that scripts can compare with `date +%s%N`.
long long NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

FILE* Log()
{
    static FILE* const log = [] {
        const char* const path = std::getenv("SKARNHOLT_PROBE_LOG");
        FILE* const file = path != nullptr ? std::fopen(path, "w") : nullptr;
        if (file != nullptr)
            std::setvbuf(file, nullptr, _IOLBF, 0);
        return file;
    }();
    return log;
}

void Record(const char* format, ...)
{
    FILE* const log = Log();
    if (log == nullptr)
        return;
    std::va_list args;
    va_start(args, format);
    std::fprintf(log, "%lld ", NowNs());
    std::vfprintf(log, format, args);
    std::fputc('\n', log);
    va_end(args);
}

volatile std::sig_atomic_t trimRequested = 0;

// Display lists called since the last presented frame, and in the frame before it.
int listsThisFrame = 0;
int listsLastFrame = -1;

// The thread of the last pick pass, until it next reads the clock.
std::atomic<bool> pickClockPending{false};
pthread_t pickThread;

void RequestTrim(int) { trimRequested = 1; }

// The value of the size attribute of the last element that starts with `element` in `text`.
long long SizeOf(const std::string& text, const char* element)
{
    const size_t at = text.rfind(element);
    const size_t value = at == std::string::npos ? at : text.find("size=\"", at);
    return value == std::string::npos ? -1 : std::atoll(text.c_str() + value + 6);
}

// Bytes the program holds on the heap: all arenas' memory less their free chunks, plus the
// chunks mapped on their own. malloc_info's totals come after the last arena's report.
long long HeapBytesInUse()
{
    char* report = nullptr;
    size_t length = 0;
    FILE* const stream = open_memstream(&report, &length);
    if (stream == nullptr)
        return -1;
    malloc_info(0, stream);
    std::fclose(stream);
    const std::string text(report, length);
    std::free(report);
    const size_t totals = text.rfind("</heap>");
    if (totals == std::string::npos)
        return -1;
    const std::string summary = text.substr(totals);
    return SizeOf(summary, "<system type=\"current\"") - SizeOf(summary, "<total type=\"fast\"") -
           SizeOf(summary, "<total type=\"rest\"") + SizeOf(summary, "<total type=\"mmap\"");
}

long ResidentKb()
{
    long pages = 0;
    long resident = -1;
    FILE* const statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return -1;
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
        resident = -1;
    std::fclose(statm);
    return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

__attribute__((constructor)) void InstallTrimRequest() { std::signal(SIGUSR1, RequestTrim); }

template <typename Function>
Function Next(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

int SDL_GL_SetAttribute(SDL_GLattr attribute, int value)
{
    Record("attr %d %d", static_cast<int>(attribute), value);
    return Next<int (*)(SDL_GLattr, int)>("SDL_GL_SetAttribute")(attribute, value);
}

void SDL_WM_SetIcon(SDL_Surface* icon, Uint8* mask)
{
    Record("icon");
    Next<void (*)(SDL_Surface*, Uint8*)>("SDL_WM_SetIcon")(icon, mask);
}

SDL_Surface* SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags)
{
    Record("videomode");
    return Next<SDL_Surface* (*)(int, int, int, Uint32)>("SDL_SetVideoMode")(width, height, bpp, flags);
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    Record("eye %.3f %.3f %.3f", eyeX, eyeY, eyeZ);
    using LookAt = void (*)(GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble,
                            GLdouble, GLdouble);
    Next<LookAt>("gluLookAt")(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ);
}

void gluDisk(GLUquadric* quadric, GLdouble inner, GLdouble outer, GLint slices, GLint loops)
{
    Record("disk %.3f %.3f", inner, outer);
    Next<void (*)(GLUquadric*, GLdouble, GLdouble, GLint, GLint)>("gluDisk")(quadric, inner, outer,
                                                                            slices, loops);
}

GLint glRenderMode(GLenum mode)
{
    const GLint result = Next<GLint (*)(GLenum)>("glRenderMode")(mode);
    if (mode == GL_SELECT) {
        Record("select");
    } else if (mode == GL_RENDER) {
        Record("hits %d", result);
        pickThread = pthread_self();
        pickClockPending = true;
    }
    return result;
}

Uint32 SDL_GetTicks(void)
{
    static const auto next = Next<Uint32 (*)()>("SDL_GetTicks");
    const Uint32 ticks = next();
    if (pickClockPending && pthread_equal(pthread_self(), pickThread) != 0) {
        pickClockPending = false;
        Record("clicktime");
    }
    return ticks;
}

GLuint glGenLists(GLsizei range)
{
    if (std::getenv("SKARNHOLT_PROBE_NO_LISTS") != nullptr)
        return 0;
    return Next<GLuint (*)(GLsizei)>("glGenLists")(range);
}

// The mixer's chunk type is left opaque: the probe only passes it on.
int Mix_PlayChannelTimed(int channel, void* chunk, int loops, int ticks)
{
    Record("play");
    return Next<int (*)(int, void*, int, int)>("Mix_PlayChannelTimed")(channel, chunk, loops, ticks);
}

void glCallList(GLuint list)
{
    static const auto next = Next<void (*)(GLuint)>("glCallList");
    ++listsThisFrame;
    next(list);
}

void SDL_GL_SwapBuffers(void)
{
    Next<void (*)()>("SDL_GL_SwapBuffers")();
    if (listsThisFrame != listsLastFrame)
        Record("lists %d", listsThisFrame);
    listsLastFrame = listsThisFrame;
    listsThisFrame = 0;
    Record("swap");
    if (trimRequested != 0) {
        trimRequested = 0;
        malloc_trim(0);
        Record("held %lld %ld", HeapBytesInUse(), ResidentKb());
    }
}

} // extern "C"
