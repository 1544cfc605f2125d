// The benchmark: frame, pick, blast, start-up, model reader and memory numbers of the
// game's own code, each the median of repeated runs on a private Xvfb, as one table.
#include "BenchSupport.h"
#include "FrameBench.h"
#include "ReaderBench.h"
#include "StartupBench.h"
#include "support/XvfbServer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const FrameRuns frameRuns = {100, 100, 8, 15, 300};
const int startupRuns = 15;
// The order of the start-up programs: the game, its anchor, the bare window.
const size_t gameIndex = 0;
const size_t anchorIndex = 1;
const size_t bareIndex = 2;
const int readerRuns = 9;
const int readerTriangles = 200000;

// Every phase any program marked, in the game's order, then the anchor's own, and so on; the
// time outside any phase and the first frame come last.
std::vector<std::string> PhaseRows(const std::vector<ProgramStartup>& startups)
{
    std::vector<std::string> rows;
    for (const ProgramStartup& startup : startups) {
        for (const std::string& name : startup.phaseOrder) {
            const bool last = name == startup_phase::between || name == startup_phase::firstFrame;
            if (!last && std::find(rows.begin(), rows.end(), name) == rows.end())
                rows.push_back(name);
        }
    }
    rows.push_back(startup_phase::between);
    rows.push_back(startup_phase::firstFrame);
    return rows;
}

// Each phase's median in each program, and the difference between the game's and the anchor's.
void PrintPhases(const std::vector<ProgramStartup>& startups)
{
    std::printf("\nStart-up phases, ms (medians, measured in each program; they need not add up to the total's)\n");
    std::printf("%-36s", "");
    for (const ProgramStartup& startup : startups)
        std::printf(" %11s", startup.name.c_str());
    std::printf(" %15s\n", "game - anchor");
    // A phase that a program does not go through counts 0 in the difference.
    const auto median = [&startups](size_t index, const std::string& row) {
        const auto found = startups[index].phaseMs.find(row);
        return found == startups[index].phaseMs.end() ? 0.0 : Median(found->second);
    };
    for (const std::string& row : PhaseRows(startups)) {
        std::printf("%-36s", row.c_str());
        for (size_t index = 0; index < startups.size(); ++index) {
            if (startups[index].phaseMs.count(row) == 0)
                std::printf(" %11s", "-");
            else
                std::printf(" %11.2f", median(index, row));
        }
        std::printf(" %+15.2f\n", median(gameIndex, row) - median(anchorIndex, row));
    }
    std::fflush(stdout);
}

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

// One time of game, anchor and bare window side by side, each as a ratio to the anchor's and to
// the bare window's, and the game's ratio to the anchor turn by turn.
void PrintStartupTimes(const std::vector<ProgramStartup>& startups, Measure ProgramStartup::*time)
{
    std::printf("%-32s %12s %21s %5s %9s %9s\n", "", "median", "quartiles", "runs", "/ anchor", "/ bare");
    const double anchor = Median((startups[anchorIndex].*time).runs);
    const double bare = Median((startups[bareIndex].*time).runs);
    for (const ProgramStartup& startup : startups) {
        const std::vector<double>& runs = (startup.*time).runs;
        std::printf("%-32s %9.2f ms %9.2f ..%9.2f %5zu %8.2fx %8.2fx\n", startup.name.c_str(), Median(runs),
                    Quantile(runs, 0.25), Quantile(runs, 0.75), runs.size(), Median(runs) / anchor,
                    Median(runs) / bare);
    }
    const std::vector<double> ratios = RatiosByTurn(startups[gameIndex], startups[anchorIndex], time);
    std::printf("  game / anchor turn by turn: median %.2f, quartiles %.2f .. %.2f, over %zu turns\n",
                Median(ratios), Quantile(ratios, 0.25), Quantile(ratios, 0.75), ratios.size());
}

void PrintStartup(const std::vector<ProgramStartup>& startups)
{
    std::printf("\nStart-up to the first presented frame (stdout to /dev/null), the three programs taking turns\n"
                "  anchor: only what the game's first frame needs (its window, textures, model, font, city,\n"
                "  GL state), that frame drawn once; bare window: the game's window cleared and swapped once\n");
    PrintStartupTimes(startups, &ProgramStartup::toFirstFrame);
    for (const ProgramStartup& startup : startups) {
        if (startup.failedStarts > 0)
            std::printf("  (%s: %d starts could not reach the display and were run again)\n", startup.name.c_str(),
                        startup.failedStarts);
    }
    std::printf("\nProcessor time used by then, all threads (user and system)\n");
    PrintStartupTimes(startups, &ProgramStartup::cpuToFirstFrame);
    PrintPhases(startups);
}

void PrintFrameComparison(const FrameComparison& comparison)
{
    if (!comparison.compared) {
        std::printf("  warning: the anchor's first frame could not be compared with the game's\n");
        return;
    }
    std::printf("  the anchor's first frame against the game's, same city and clock: %ld of %ld pixels differ, "
                "by at most %d of 255\n", comparison.differingPixels, comparison.pixels, comparison.largestDifference);
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

void PrintMemory(long afterFramesKb, const std::vector<ProgramStartup>& startups)
{
    PrintHeader("Peak memory (VmHWM)", "");
    for (const ProgramStartup& startup : startups) {
        if (!startup.peakKb.empty())
            PrintMeasure({startup.name + ", at its first frame", Megabytes(startup.peakKb)}, "MB");
    }
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

bool RunStartup(std::vector<ProgramStartup>& startups)
{
    const std::string game = SKARNHOLT_GAME_DIR;
    const std::vector<StartupProgram> programs = {
        {"game", game + "/skarnholt"},
        {"anchor", SKARNHOLT_STARTUP_ANCHOR},
        {"bare window", SKARNHOLT_BARE_WINDOW}};
    startups = MeasureStartup(game, programs, SKARNHOLT_FIRST_SWAP_SHIM, startupRuns);
    for (const ProgramStartup& startup : startups) {
        if (startup.toFirstFrame.runs.empty()) {
            std::fprintf(stderr, "%s never presented a frame (%s)\n", startup.name.c_str(), game.c_str());
            return false;
        }
    }
    PrintStartup(startups);
    PrintFrameComparison(CompareFirstFrames(game, programs[gameIndex].path, programs[anchorIndex].path,
                                            SKARNHOLT_FRAME_CAPTURE_SHIM));
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
    std::vector<ProgramStartup> startups;
    if (Wanted(argc, argv, "startup") && !RunStartup(startups))
        return 1;
    long afterFramesKb = -1;
    if (Wanted(argc, argv, "frames") && !RunFrames(afterFramesKb))
        return 1;
    if (Wanted(argc, argv, "reader"))
        PrintReader(MeasureReader(readerTriangles, readerRuns));
    PrintMemory(afterFramesKb, startups);
    return 0;
}
