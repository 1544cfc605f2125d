// The application object: start-up, the main loop, input handling, the frame with its
// pick animation and text line, and the selection-buffer pick of a floor tile.
#include "app/CApp.h"
#include "app/VideoDriver.h"

#include <GL/gl.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "model/objLoader.h"
#include "platform/StartupPhase.h"
#include "render/CText.h"
#include "render/CTexture.h"
#include "world/CCity.h"
#include "world/CParticle.h"
#include "world/CZombie.h"
#include "world/SceneGeometry.h"

char buld = 1;

// Tick count at the end of start-up: origin of the time shown on screen.
static int starttime = 0;
// Tick count of the last accepted click: origin of the pick animation.
static int T0 = 0;

static const GLfloat sun_ambient[] = {0.1f, 0.1f, 0.1f, 0.1f};
static const GLfloat sun_diffuse[] = {0.5f, 0.5f, 0.5f, 0.4f};
static const GLfloat sun_specular[] = {0.4f, 0.4f, 0.4f, 0.4f};
static const GLfloat sun_position[] = {180.0f, -60.0f, 40.0f, 1.0f};
static GLfloat light_ambient[] = {0.2f, 0.1f, 0.1f, 0.1f};
static GLfloat light_diffuse[] = {0.8f, 0.7f, 0.7f, 0.7f};
static GLfloat light_specular[] = {0.8f, 0.7f, 0.7f, 0.7f};
static GLfloat light_position[] = {0.0f, 0.0f, 0.0f, 1.0f};

static const char* const explosionFiles[4] = {
    "explosion-01.wav", "explosion-02.wav", "explosion-03.wav", "explosion-04.wav"};

int PickStartTime() { return T0; }

// ---------------------------------------------------------------------------------
// Construction
// ---------------------------------------------------------------------------------

CApp::CApp(int width, int height, int zombiesAtStart, int cityColumns, int cityRows)
    : scrollDirection(0), screenWidth(width), screenHeight(height), cityWidth(cityColumns),
      cityHeight(cityRows), zombieCount(zombiesAtStart)
{
}

// The model, textures, text and quadric belong to the GL context and die with the process.
CApp::~CApp()
{
    delete particles;
    delete zombies;
    delete city;
    FMOD_Sound_Release(music);
    FMOD_System_Close(soundSystem);
    FMOD_System_Release(soundSystem);
    SDL_FreeSurface(screen);
    SDL_Quit();
}

// ---------------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------------

bool CApp::Init()
{
    srand(static_cast<unsigned>(time(nullptr)));
    InitWorld();
    if (!InitSdl())
        return false;
    InitSound();
    if (!InitVideo())
        return false;
    InitAssets();
    InitGlState();
    if (!CompileFloor())
        return false;
    StartMusic();
    starttime = static_cast<int>(SDL_GetTicks());
    return true;
}

void CApp::InitWorld()
{
    const StartupPhase phase("city and horde");
    running = true;
    eyeX = scene::startEyeX;
    eyeY = scene::startEyeY;
    eyeZ = scene::startEyeZ;
    centerX = centerY = centerZ = 0;
    pickedName = 0;
    city = new CCity(cityWidth, cityHeight);
    zombies = new CZombie(zombieCount, city, cityWidth, cityHeight);
    particles = new CParticle();
    particles->Init();
}

bool CApp::InitSdl()
{
    const StartupPhase phase("SDL and video");
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "Unable to initialize SDL: %s\n", SDL_GetError());
        fflush(stderr);
        return false;
    }
    QueueOnlyHandledEvents();
    return true;
}

void CApp::InitSound()
{
    const StartupPhase phase("sound");
    printf("Loading music\n");
    fflush(stdout);
    FMOD_System_Create(&soundSystem);
    FMOD_System_Init(soundSystem, 32, FMOD_INIT_NORMAL, nullptr);
    FMOD_System_CreateSound(soundSystem, "Buzz-0001.mp3", FMOD_CREATESTREAM | FMOD_SOFTWARE | FMOD_2D,
                            nullptr, &music);
    for (int i = 0; i < 4; ++i)
        FMOD_System_CreateSound(soundSystem, explosionFiles[i], FMOD_SOFTWARE, nullptr, &explosions[i]);
    for (int i = 0; i < 4; ++i)
        FMOD_Sound_SetMode(explosions[i], FMOD_LOOP_OFF);
}

// Once, at the end of start-up; nothing restarts the music when it ends.
void CApp::StartMusic()
{
    const StartupPhase phase("sound");
    FMOD_System_PlaySound(soundSystem, FMOD_CHANNEL_FREE, music, false, &channel);
}

// SDL's queue holds 128 events and drops whatever arrives while it is full. The loop takes
// one event a frame, so pointer motion at mouse rates would fill it and crowd out clicks
// and key releases: only the events that OnEvent acts on may take room there.
void CApp::QueueOnlyHandledEvents()
{
    for (int type = SDL_NOEVENT + 1; type < SDL_NUMEVENTS; ++type) {
        const bool handled = type == SDL_KEYDOWN || type == SDL_KEYUP ||
                             type == SDL_MOUSEBUTTONDOWN || type == SDL_QUIT;
        SDL_EventState(static_cast<Uint8>(type), handled ? SDL_ENABLE : SDL_IGNORE);
    }
}

bool CApp::InitVideo()
{
    const StartupPhase phase("SDL and video");
    // SDL 2 and later, under SDL 1.2's interface, fall back to a driver that draws into memory
    // when no display can be reached; a game that nobody can see or end must not start unasked.
    char driver[32] = "";
    SDL_VideoDriverName(driver, sizeof driver);
    if (video_driver::ShowsNoWindow(driver) &&
        !video_driver::AskedFor(driver, std::getenv("SDL_VIDEODRIVER"))) {
        fprintf(stderr, "Unable to set video mode: no display could be opened, and the %s video driver "
                        "shows no window (SDL_VIDEODRIVER=%s runs the game unseen)\n", driver, driver);
        fflush(stderr);
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // The camera moves a fixed step per frame: present at the display's refresh where the
    // driver can, rather than thousands of frames a second on a fast GPU.
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
    SetWindowIcon();
    screen = SDL_SetVideoMode(screenWidth, screenHeight, 32, SDL_OPENGL);
    if (screen == nullptr) {
        fprintf(stderr, "Unable to set video mode: %s\n", SDL_GetError());
        fflush(stderr);
        return false;
    }
    SDL_WM_SetCaption("Skarnholt", "Skarnholt");
    return true;
}

// SDL takes the window's icon only before the window exists; without the file the window
// keeps the desktop's default icon.
void CApp::SetWindowIcon()
{
    SDL_Surface* const icon = SDL_LoadBMP("icon.bmp");
    if (icon == nullptr)
        return;
    SDL_WM_SetIcon(icon, nullptr);
    SDL_FreeSurface(icon);
}

void CApp::InitAssets()
{
    model = new objLoader;
    model->load("talo.obj");
    floorTexture = new CTexture("floor.bmp");
    text = new CText();
}

void CApp::InitGlState()
{
    const StartupPhase phase("GL state");
    glViewport(0, 0, screenWidth, screenHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    scene::MultPerspective(screenWidth, screenHeight);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glShadeModel(GL_SMOOTH);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_LIGHTING);
    InitLights();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    sceneOffsetX = scene::CityOffsetX(cityWidth);
    sceneOffsetZ = scene::CityOffsetZ(cityHeight);
    quadric = gluNewQuadric();
    gluQuadricNormals(quadric, GLU_SMOOTH);
    gluQuadricTexture(quadric, GL_TRUE);
}

// Both positions are given under the identity, so the lights sit in camera space.
void CApp::InitLights()
{
    glLightfv(GL_LIGHT0, GL_AMBIENT, sun_ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, sun_diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, sun_specular);
    glLightfv(GL_LIGHT0, GL_POSITION, sun_position);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT1, GL_AMBIENT, light_ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, light_diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, light_specular);
    glLightfv(GL_LIGHT1, GL_POSITION, light_position);
    glDisable(GL_LIGHT1);
}

// ---------------------------------------------------------------------------------
// Main loop and input
// ---------------------------------------------------------------------------------

int CApp::Loop()
{
    while (running)
        Frame();
    return 0;
}

void CApp::Frame()
{
    // One event per frame; a burst of events is spread over the following frames.
    if (SDL_PollEvent(&event))
        OnEvent(&event);
    FMOD_System_Update(soundSystem);
    zombies->Move(city);
    Render(false);
    if (zombies->ZombieAmount() == 0)
        running = false;
    ScrollCamera();
}

void CApp::ScrollCamera()
{
    const float step = 0.5f;
    switch (scrollDirection) {
    case 1: centerX += step; eyeX += step; break;
    case 2: centerX -= step; eyeX -= step; break;
    case 3: centerZ -= step; eyeZ -= step; break;
    case 4: centerZ += step; eyeZ += step; break;
    default: break;
    }
}

void CApp::OnEvent(SDL_Event* e)
{
    switch (e->type) {
    case SDL_KEYDOWN: OnKeyDown(e->key.keysym.sym); break;
    case SDL_KEYUP: OnKeyUp(e->key.keysym.sym); break;
    case SDL_MOUSEBUTTONDOWN: OnButtonDown(e->button); break;
    case SDL_QUIT: running = false; break;
    default: break;
    }
}

void CApp::OnKeyDown(SDLKey key)
{
    switch (key) {
    case SDLK_1: buld ^= 1; break;
    case SDLK_RIGHT: scrollDirection = 1; break;
    case SDLK_LEFT: scrollDirection = 2; break;
    case SDLK_UP: scrollDirection = 3; break;
    case SDLK_DOWN: scrollDirection = 4; break;
    default: break;
    }
}

// Escape ends the game on release only; releasing any arrow stops scrolling.
void CApp::OnKeyUp(SDLKey key)
{
    switch (key) {
    case SDLK_RIGHT:
    case SDLK_LEFT:
    case SDLK_UP:
    case SDLK_DOWN: scrollDirection = 0; break;
    case SDLK_ESCAPE: running = false; break;
    default: break;
    }
}

void CApp::OnButtonDown(const SDL_MouseButtonEvent& button)
{
    const float zoomStep = 0.7f;
    if (button.button == SDL_BUTTON_WHEELUP) {
        if (eyeY > 21.0f)
            eyeY -= zoomStep;
    } else if (button.button == SDL_BUTTON_WHEELDOWN) {
        if (eyeY < 50.0f)
            eyeY += zoomStep;
    } else if (button.button == SDL_BUTTON_LEFT && pickedName == 0) {
        Selection(button.x, button.y);
        T0 = static_cast<int>(SDL_GetTicks());
        explosionStarted = false;
    }
}

// ---------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------

void CApp::Render(bool selecting)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    LookAtScene();
    DrawFloor();
    if (selecting)
        return;
    if (buld)
        DrawBuildings();
    zombies->Draw();
    if (pickedName > 0)
        DrawPickAnimation();
    DrawOverlay();
    SDL_GL_SwapBuffers();
}

// The camera's view of the city: from the eye to the look-at point, the city about the origin.
void CApp::LookAtScene() const
{
    gluLookAt(eyeX, eyeY, eyeZ, centerX, centerY, centerZ, 0, 1, 0);
    glTranslatef(sceneOffsetX, 0, sceneOffsetZ);
}

void CApp::DrawFloor()
{
    glEnable(GL_TEXTURE_2D);
    floorTexture->Use();
    glCallList(floorList);
}

// The floor never changes, so it is compiled once and replayed by the frame and the pick
// pass alike: Mesa gives immediate-mode drawing fresh buffers after every selection round
// trip and never frees the old ones, half a megabyte a click.
// One named tile per cell; texture coordinates -1..1 lay the floor texture 2 x 2 per tile.
// Without a list there would be no floor to see or to click: start-up fails instead.
bool CApp::CompileFloor()
{
    const StartupPhase phase("floor list");
    floorList = glGenLists(1);
    if (floorList == 0) {
        fprintf(stderr, "Unable to compile the city floor: OpenGL gave no display list (error 0x%04x)\n",
                glGetError());
        fflush(stderr);
        return false;
    }
    glNewList(floorList, GL_COMPILE);
    for (int i = 0; i < cityHeight; ++i) {
        for (int j = 0; j < cityWidth; ++j) {
            glLoadName(scene::TileName(j, i, cityWidth));
            glPushMatrix();
            glTranslatef(scene::CellX(j), 0, scene::CellZ(i));
            glScalef(scene::tileHalfSize, 1, scene::tileHalfSize);
            glColor4f(0.7f, 0.7f, 0.7f, 1);
            glBegin(GL_QUADS);
            glNormal3f(0, 1, 0);
            glTexCoord2f(1, -1); glVertex3f(1, 0, -1);
            glTexCoord2f(-1, -1); glVertex3f(-1, 0, -1);
            glTexCoord2f(-1, 1); glVertex3f(-1, 0, 1);
            glTexCoord2f(1, 1); glVertex3f(1, 0, 1);
            glEnd();
            glPopMatrix();
        }
    }
    glEndList();
    return true;
}

void CApp::DrawBuildings()
{
    for (int i = 0; i < cityHeight; ++i) {
        for (int j = 0; j < cityWidth; ++j) {
            if (city->Grid(j, i) != 2)
                continue;
            glPushMatrix();
            glTranslatef(scene::CellX(j), scene::buildingLift, scene::CellZ(i));
            glScalef(scene::buildingScale, 1, scene::buildingScale);
            model->Draw();
            glPopMatrix();
        }
    }
}

// The marker until 1.9 s after the click, then the explosion once, then the blast.
void CApp::DrawPickAnimation()
{
    const int t = static_cast<int>(SDL_GetTicks()) - T0;
    // The kill test measures rows positive; only drawing turns them to -z.
    const float x = scene::CellX(scene::TileColumn(pickedName, cityWidth));
    const float z = -scene::CellZ(scene::TileRow(pickedName, cityWidth));
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glPushMatrix();
    if (t < 1900) {
        DrawMarker(x, z);
    } else {
        if (t > 1900 && !explosionStarted)
            StartExplosion(x, z);
        if (t > 2000)
            DrawBlast(t, x, z);
    }
    glDisable(GL_BLEND);
    glPopMatrix();
}

void CApp::DrawMarker(float x, float z)
{
    glColor4f(0.5f, 1.0f, 0.5f, 0.8f);
    glTranslatef(x, 0.5f, -z);
    glRotatef(-90, 1, 0, 0);
    gluDisk(quadric, 0.4, 0.8, 32, 32);
}

// Runs once per pick. The flash light is placed at the blast under the scene's
// model-view matrix, so it lights the picked spot rather than the camera.
void CApp::StartExplosion(float x, float z)
{
    explosionStarted = true;
    FMOD_System_PlaySound(soundSystem, FMOD_CHANNEL_FREE, explosions[rand() % 4], false, &channel);
    particles->Init();
    light_position[0] = x;
    light_position[1] = 0.01f;
    light_position[2] = -z;
    glLightfv(GL_LIGHT1, GL_POSITION, light_position);
}

void CApp::DrawBlast(int t, float x, float z)
{
    zombies->Kill(x, z);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    if (t <= 2200)
        glEnable(GL_LIGHT1);
    else
        glDisable(GL_LIGHT1);
    DrawRing(t, x, z);
    glTranslatef(x, 0.1f, -z);
    particles->Move();
    particles->Draw();
    if (t > 4000)
        pickedName = 0;
}

// A grey ring that starts 100 ms into the blast, widens and fades out by 3 s.
void CApp::DrawRing(int t, float x, float z)
{
    if (t <= 2100)
        return;
    glPushMatrix();
    glColor4f(0.5f, 0.5f, 0.5f, 0.3f - t / 10000.0f);
    glTranslatef(x, 0.2f, -z);
    glRotatef(-90, 1, 0, 0);
    gluDisk(quadric, 0.007 * (t - 2100), 0.008 * (t - 2100), 32, 32);
    glPopMatrix();
}

void CApp::DrawOverlay()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(-1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glColor4f(1, 1, 1, 1);
    glRasterPos2f(-0.6f, 0.9f);
    text->Print("Zombies left: %03d", zombies->ZombieAmount());
    const int ms = static_cast<int>(SDL_GetTicks()) - starttime;
    glRasterPos2f(0.2f, 0.9f);
    text->Print("Time: %02d:%02d:%02d", ms / 60000, (ms / 1000) % 60, (ms / 10) % 100);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}

// ---------------------------------------------------------------------------------
// Picking
// ---------------------------------------------------------------------------------

void CApp::Selection(int x, int y)
{
    GLuint buffer[512];
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glSelectBuffer(512, buffer);
    glRenderMode(GL_SELECT);
    glInitNames();
    glPushName(0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPickMatrix(x, viewport[3] - y, 1, 1, viewport);
    scene::MultPerspective(screenWidth, screenHeight);
    Render(true);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    const GLint hits = glRenderMode(GL_RENDER);
    if (hits > 0)
        pickedName = static_cast<int>(NearestHitName(buffer, hits));
}

// Hit records are four words: name count, min depth, max depth, name. The earlier
// record wins a tie.
GLuint CApp::NearestHitName(const GLuint* buffer, int hits)
{
    int chosen = 0;
    for (int h = 1; h < hits; ++h) {
        if (buffer[h * 4 + 1] < buffer[chosen * 4 + 1])
            chosen = h;
    }
    return buffer[chosen * 4 + 3];
}
