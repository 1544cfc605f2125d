// The pick pass on a real game window: the tile under a pixel, found the way the player
// finds it, and a pass that leaves the picture, the matrices and the render mode alone.
#include "app/CApp.h"
#include "app_gl/GameWindow.h"
#include "support/SdlEvents.h"
#include "world/SceneGeometry.h"

#include <GL/gl.h>
#include <array>
#include <gtest/gtest.h>
#include <dlfcn.h>

namespace {

struct WindowPoint {
    int x;
    int y;
    bool inside;
};

// Where the centre of tile (column, row) appears in the window, from the game's own
// camera, scene offset and projection, in SDL's top-down window coordinates.
WindowPoint ProjectTileCentre(const CApp& app, int column, int row)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    app.LookAtScene();
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    scene::MultPerspective(app.screenWidth, app.screenHeight);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glPopMatrix();
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble wx, wy, wz;
    gluProject(scene::CellX(column), 0, scene::CellZ(row), modelview, projection, viewport, &wx, &wy, &wz);
    const int x = static_cast<int>(wx);
    const int y = viewport[3] - static_cast<int>(wy);
    return {x, y, x >= 0 && x < viewport[2] && y >= 0 && y < viewport[3]};
}

void ExpectPicksTile(CApp& app, int column, int row)
{
    const WindowPoint point = ProjectTileCentre(app, column, row);
    ASSERT_TRUE(point.inside) << "tile " << column << "," << row << " is off screen";
    app.pickedName = 0;
    app.Selection(point.x, point.y);
    EXPECT_EQ(app.pickedName, scene::TileName(column, row, app.cityWidth)) << "tile " << column << "," << row;
}

class Selection : public testing::Test {
protected:
    void SetUp() override
    {
        app.eyeX = scene::startEyeX;
        app.eyeY = scene::startEyeY;
        app.eyeZ = scene::startEyeZ;
        app.centerX = app.centerY = app.centerZ = 0;
        app.pickedName = 0;
    }
    CApp& app = Game();
};

TEST_F(Selection, PicksCornerEdgeAndMiddleTilesFromTheStartingCamera)
{
    const std::array<std::array<int, 2>, 9> tiles = {{
        {0, 0}, {24, 0}, {0, 24}, {24, 24}, {12, 0}, {0, 12}, {24, 12}, {12, 24}, {12, 12}}};
    for (const auto& tile : tiles)
        ExpectPicksTile(app, tile[0], tile[1]);
}

TEST_F(Selection, FollowsTheCameraAfterScrollingAndZooming)
{
    app.scrollDirection = 1;
    for (int frame = 0; frame < 12; ++frame)
        app.ScrollCamera();
    app.scrollDirection = 3;
    for (int frame = 0; frame < 8; ++frame)
        app.ScrollCamera();
    app.scrollDirection = 0;
    ExpectPicksTile(app, 20, 15);
    ExpectPicksTile(app, 16, 20);

    SDL_Event wheel = ButtonDown(SDL_BUTTON_WHEELUP);
    for (int notch = 0; notch < 42; ++notch)
        app.OnEvent(&wheel);
    ASSERT_LT(app.eyeY, 21.0f);
    ExpectPicksTile(app, 17, 17);
    ExpectPicksTile(app, 14, 18);
}

TEST_F(Selection, APixelOnTheBackgroundLeavesThePickAlone)
{
    app.pickedName = 77;
    app.eyeX = app.centerX = 200;
    app.Selection(512, 384);
    EXPECT_EQ(app.pickedName, 77);

    app.eyeX = app.centerX = 0;
    app.pickedName = 0;
    app.Selection(2, 2);
    EXPECT_EQ(app.pickedName, 0) << "the top-left corner looks past the far edge of the city";
}

TEST_F(Selection, RestoresMatricesStacksAndRenderMode)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -5, 5);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    GLfloat projectionBefore[16], modelviewBefore[16], projectionAfter[16], modelviewAfter[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);

    app.Selection(512, 384);
    ASSERT_NE(app.pickedName, 0);

    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewAfter);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(projectionAfter[i], projectionBefore[i]) << i;
        EXPECT_FLOAT_EQ(modelviewAfter[i], modelviewBefore[i]) << i;
    }
    GLint mode = 0, projectionDepth = 0, modelviewDepth = 0;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &projectionDepth);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &modelviewDepth);
    EXPECT_EQ(mode, GL_RENDER);
    EXPECT_EQ(projectionDepth, 1);
    EXPECT_EQ(modelviewDepth, 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Counts presented frames: this definition stands in front of SDL's own for the game code
// linked into this program, and hands every call on to SDL.
int presentedFrames = 0;

TEST_F(Selection, TheDrawingStepOfThePickPresentsNothing)
{
    presentedFrames = 0;
    app.Render(true);
    EXPECT_EQ(presentedFrames, 0);
    app.Render(false);
    EXPECT_EQ(presentedFrames, 1);
}

} // namespace

extern "C" void SDL_GL_SwapBuffers(void)
{
    using Swap = void (*)(void);
    static const Swap sdlSwap = reinterpret_cast<Swap>(dlsym(RTLD_NEXT, "SDL_GL_SwapBuffers"));
    ++presentedFrames;
    sdlSwap();
}
