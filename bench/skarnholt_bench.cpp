// The benchmark: frame, pick, blast, start-up, model reader and memory numbers of the
// game's own code, each the median of repeated runs on a private Xvfb, as one table.
#include "BenchSupport.h"
#include "FrameBench.h"
#include "ReaderBench.h"
#include "StartupBench.h"
#include "support/XvfbServer.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const FrameRuns frameRuns = {100, 100, 8, 15, 300};
const int startupRuns = 7;
const int readerRuns = 9;
const int readerTriangles = 200000;

void PrintHeader(const char* title, const char* ratioTo)
{
    std::printf("\n%s\n%-32s %12s %21s %5s %9s\n", title, "", "median", "quartiles", "runs", ratioTo);
}

// One line: median, first and third quartile, the number of runs, and the median's ratio
// to `base` when one is given.
void PrintMeasure(const Measure& measure, const char* unit, double base = 0)
{
    std::printf("%-32s %9.2f %-2s %9.2f ..%9.2f %5zu", measure.name.c_str(), Median(measure.runs), unit,
                Quantile(measure.runs, 0.25), Quantile(measure.runs, 0.75), measure.runs.size());
    if (base > 0)
        std::printf(" %8.2fx", Median(measure.runs) / base);
    std::printf("\n");
    std::fflush(stdout);
}

void PrintStartup(const StartupResults& startup)
{
    PrintHeader("Start-up of the real executable (stdout to /dev/null)", "");
    PrintMeasure(startup.toFirstFrame, "ms");
    if (startup.failedStarts > 0)
        std::printf("  (%d starts could not reach the display and were run again)\n", startup.failedStarts);
}

void PrintFrames(const FrameResults& frames)
{
    PrintHeader("Frames in one 1024 x 768 window (each ends with glFinish)", "/ ref");
    const double reference = Median(frames.reference.runs);
    PrintMeasure(frames.empty, "ms", reference);
    PrintMeasure(frames.reference, "ms", reference);
    PrintMeasure(frames.idle, "ms", reference);
    PrintMeasure(frames.blast, "ms", reference);
    PrintMeasure(frames.pick, "ms", reference);
    std::printf("  reference: %d floor vertices, %d building vertices, %d zombie points; ratios to it\n",
                frames.floorVertices, frames.buildingVertices, frames.zombies);
    std::printf("  blast frames draw a median of %.0f live particles\n", Median(frames.burstPoints));
    std::printf("  memory held per pick pass and its frame: %+.1f kB (over %d passes after as many)\n",
                frames.pickMemoryKb, frames.pickMemoryPasses);
    if (frames.strayBlastFrames > 0)
        std::printf("  warning: %d blast frames fell outside the blast phase\n", frames.strayBlastFrames);
}

void PrintReader(const ReaderResults& reader)
{
    std::printf("\nModel: %d triangles, %.1f MB of OBJ text\n", reader.triangles, reader.fileBytes / 1e6);
    PrintHeader("OBJ/MTL readers (the game's trace to /dev/null)", "/ tinyobj");
    const double tinyobj = Median(reader.tinyobj.runs);
    PrintMeasure(reader.game, "ms", tinyobj);
    PrintMeasure(reader.tinyobj, "ms", tinyobj);
    if (reader.gameFaces != reader.triangles || reader.tinyobjFaces != reader.triangles)
        std::printf("  warning: faces read: game %d, tinyobjloader %d\n", reader.gameFaces, reader.tinyobjFaces);
}

std::vector<double> Megabytes(std::vector<double> kilobytes)
{
    for (double& value : kilobytes)
        value /= 1024;
    return kilobytes;
}

void PrintMemory(long afterFramesKb, const StartupResults& startup)
{
    PrintHeader("Peak memory (VmHWM)", "");
    if (!startup.peakKb.empty())
        PrintMeasure({"game, at its first frame", Megabytes(startup.peakKb)}, "MB");
    if (afterFramesKb > 0)
        PrintMeasure({"benchmark, after its frames", Megabytes({double(afterFramesKb)})}, "MB");
    PrintMeasure({"benchmark, at the end", Megabytes({double(PeakMemoryKb())})}, "MB");
}

// With no argument every section runs; otherwise only those named (startup, frames, reader).
bool Wanted(int argc, char** argv, const std::string& section)
{
    if (argc < 2)
        return true;
    for (int index = 1; index < argc; ++index) {
        if (section == argv[index])
            return true;
    }
    return false;
}

// The peak memory after the frames is the started game's plus the reference buffers,
// before the readers' big model raises it.
bool RunFrames(long& afterFramesKb)
{
    const FrameResults frames = MeasureFrames(SKARNHOLT_GAME_DIR, frameRuns);
    if (!frames.started) {
        std::fprintf(stderr, "the game did not start in %s\n", SKARNHOLT_GAME_DIR);
        return false;
    }
    PrintFrames(frames);
    afterFramesKb = PeakMemoryKb();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // As with the game's stdout on a file or /dev/null: the reader's trace is block-buffered
    // here too, even when this table goes to a terminal.
    std::setvbuf(stdout, nullptr, _IOFBF, BUFSIZ);
    const XvfbServer xvfb;
    if (!xvfb.Running()) {
        std::fprintf(stderr, "could not start Xvfb\n");
        return 1;
    }
    setenv("DISPLAY", xvfb.Display().c_str(), 1);
    std::printf("Skarnholt benchmark: medians of repeated runs, llvmpipe on a private Xvfb\n");
    StartupResults startup;
    if (Wanted(argc, argv, "startup")) {
        startup = MeasureStartup(SKARNHOLT_GAME_DIR, SKARNHOLT_FIRST_SWAP_SHIM, startupRuns);
        PrintStartup(startup);
    }
    long afterFramesKb = -1;
    if (Wanted(argc, argv, "frames") && !RunFrames(afterFramesKb))
        return 1;
    if (Wanted(argc, argv, "reader"))
        PrintReader(MeasureReader(readerTriangles, readerRuns));
    PrintMemory(afterFramesKb, startup);
    return 0;
}
