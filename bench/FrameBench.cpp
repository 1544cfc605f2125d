// Frame, pick and blast timings on one started game window. Every timed frame ends with
// glFinish, so the clock stops when the GL has really drawn it.
#include "FrameBench.h"

#include "ReferenceScene.h"
#include "app/CApp.h"
#include "app/GameSettings.h"
#include "support/SdlEvents.h"
#include "support/SdlVideo.h"
#include "world/CParticle.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdlib>
#include <malloc.h>
#include <unistd.h>

namespace {

const int centreX = 512;
const int centreY = 384;
const int warmUpFrames = 10;
// Blast frames are timed only this early in the pick, well before its animation ends at 4 s.
const int blastTimingEnd = 3500;

// The real game object, started as the game starts it; it lives until the process ends.
CApp* StartGame(const std::string& gameDir)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (chdir(gameDir.c_str()) != 0 || !StartSdlVideo())
        return nullptr;
    const SilencedStdout quiet;
    CApp* const app = new CApp(settings::windowWidth, settings::windowHeight, settings::zombies,
                               settings::cityColumns, settings::cityRows);
    return app->Init() ? app : nullptr;
}

template <typename Work>
std::vector<double> TimeFrames(int runs, Work work)
{
    for (int run = 0; run < warmUpFrames; ++run)
        work();
    return TimeRuns(runs, work);
}

int PickTime()
{
    return static_cast<int>(SDL_GetTicks()) - PickStartTime();
}

void WaitForPickTime(int t)
{
    while (PickTime() < t)
        SDL_Delay(static_cast<Uint32>(t - PickTime()));
}

// A left click at the window centre, handed to the game as its loop hands it over.
void ClickCentre(CApp& app)
{
    SDL_Event click = LeftClick(centreX, centreY);
    app.OnEvent(&click);
}

void GameFrame(CApp& app)
{
    app.Render(false);
    glFinish();
}

int ActiveParticles(const CParticle& particles)
{
    int active = 0;
    for (const Particle& particle : particles.pool)
        active += particle.active ? 1 : 0;
    return active;
}

// One pick: frames as the game's loop draws them until the blast, one of them in the
// explosion start (1901..1999 ms) that refills the particles; then the frames of the
// blast phase are timed while the burst moves and is drawn.
void TimeOneBlast(CApp& app, const FrameRuns& runs, FrameResults& results)
{
    app.pickedName = 0;
    ClickCentre(app);
    WaitForPickTime(1800);
    while (PickTime() <= 2000)
        GameFrame(app);
    for (int frame = 0; frame < runs.framesPerBlast && PickTime() < blastTimingEnd; ++frame) {
        const bool inBlast = PickTime() > 2000;
        const double start = NowMs();
        GameFrame(app);
        results.blast.runs.push_back(NowMs() - start);
        results.strayBlastFrames += inBlast && app.pickedName != 0 ? 0 : 1;
        results.burstPoints.push_back(ActiveParticles(*app.particles));
    }
}

void TimeBlasts(CApp& app, const FrameRuns& runs, FrameResults& results)
{
    results.blast.name = "blast frame";
    for (int pick = 0; pick < runs.blastPicks; ++pick)
        TimeOneBlast(app, runs, results);
    app.pickedName = 0;
}

// Resident memory is read with the heap's free pages handed back, so that it is what the
// game holds: otherwise leaked blocks would first fill pages that the GL driver freed.
long HeldKb()
{
    malloc_trim(0);
    return ResidentKb();
}

// What a click that misses the city costs for good: the pick pass and the frame after it,
// repeated with nothing else changing, after as many passes to let the GL driver settle.
void MeasurePickMemory(CApp& app, const FrameRuns& runs, FrameResults& results)
{
    const auto pickAndFrame = [&] {
        app.Selection(1, 1);
        GameFrame(app);
    };
    for (int pass = 0; pass < runs.memoryPicks; ++pass)
        pickAndFrame();
    const long settled = HeldKb();
    for (int pass = 0; pass < runs.memoryPicks; ++pass)
        pickAndFrame();
    results.pickMemoryKb = double(HeldKb() - settled) / runs.memoryPicks;
    results.pickMemoryPasses = runs.memoryPicks;
}

void TimeReference(CApp& app, const FrameRuns& runs, FrameResults& results)
{
    ReferenceScene scene(app);
    results.floorVertices = scene.FloorVertexCount();
    results.buildingVertices = scene.BuildingVertexCount();
    results.zombies = scene.ZombieCount();
    results.reference = {"reference frame", TimeFrames(runs.frames, [&] {
                             scene.Draw();
                             glFinish();
                         })};
}

} // namespace

FrameResults MeasureFrames(const std::string& gameDir, const FrameRuns& runs)
{
    FrameResults results;
    CApp* const app = StartGame(gameDir);
    if (app == nullptr)
        return results;
    results.started = true;
    results.empty = {"empty frame", TimeFrames(runs.frames, [] {
                         glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                         SDL_GL_SwapBuffers();
                         glFinish();
                     })};
    TimeReference(*app, runs, results);
    results.idle = {"idle game frame", TimeFrames(runs.frames, [&] { GameFrame(*app); })};
    results.pick = {"picking pass", TimeFrames(runs.picks, [&] {
                        app->Selection(centreX, centreY);
                        glFinish();
                    })};
    app->pickedName = 0;
    MeasurePickMemory(*app, runs, results);
    TimeBlasts(*app, runs, results);
    return results;
}
