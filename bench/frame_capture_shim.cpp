// Preloaded by the benchmark to see that its start-up anchor draws what the game draws first:
// the calendar stands still at the second SKARNHOLT_BENCH_TIME names and SDL's clock at 0, so
// that both build the same city and show the same time; the first frame, read back before it is
// presented, goes to the file SKARNHOLT_BENCH_FRAME_FILE names (RGB, bottom row first), and the
// program ends there.
#include <GL/gl.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>
#include <vector>

extern "C" time_t time(time_t* out) noexcept
{
    const char* const fixed = std::getenv("SKARNHOLT_BENCH_TIME");
    const time_t now = fixed != nullptr ? static_cast<time_t>(std::atoll(fixed)) : 0;
    if (out != nullptr)
        *out = now;
    return now;
}

extern "C" uint32_t SDL_GetTicks(void)
{
    return 0;
}

extern "C" void SDL_GL_SwapBuffers(void)
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<unsigned char> pixels(static_cast<size_t>(viewport[2]) * static_cast<size_t>(viewport[3]) * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    const char* const path = std::getenv("SKARNHOLT_BENCH_FRAME_FILE");
    FILE* const file = path != nullptr ? std::fopen(path, "wb") : nullptr;
    if (file != nullptr) {
        std::fwrite(pixels.data(), 1, pixels.size(), file);
        std::fclose(file);
    }
    _exit(0);
}
