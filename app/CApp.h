// The one application object: start-up, the main loop, input, the frame and the pick.
#pragma once

#include <SDL.h>
#include <GL/glu.h>

#include "platform/Sound.h"

class objLoader;
class CZombie;
class CCity;
class CParticle;
class CTexture;
class CText;

// Buildings are drawn while this is non-zero; the 1 key flips it.
extern char buld;
// Tick count of the last accepted click, the origin of the pick animation.
int PickStartTime();

class CApp {
public:
    CApp(int width, int height, int zombieCount, int cityWidth, int cityHeight);
    virtual ~CApp();

    bool Init();
    int Loop();
    void OnEvent(SDL_Event* event);
    void Render(bool selecting);
    // Multiplies the model-view matrix by the camera's view of the city.
    void LookAtScene() const;
    void DrawFloor();
    void DrawBuildings();
    void Selection(int x, int y);

    // One frame of the main loop, and its last step: the camera follows the held arrow.
    void Frame();
    void ScrollCamera();

    int scrollDirection;
    objLoader* model = nullptr;
    CZombie* zombies = nullptr;
    CCity* city = nullptr;
    CParticle* particles = nullptr;
    int screenWidth;
    int screenHeight;
    bool running = false;
    SDL_Surface* screen = nullptr;
    SDL_Event event{};
    float eyeX = 0, eyeY = 0, eyeZ = 0;
    float centerX = 0, centerY = 0, centerZ = 0;
    int cityWidth;
    int cityHeight;
    int pickedName = 0;
    float sceneOffsetX = 0, sceneOffsetZ = 0;
    int zombieCount;
    CTexture* floorTexture = nullptr;
    GLUquadric* quadric = nullptr;
    CText* text = nullptr;
    // The floor's named tiles, compiled once at start-up.
    GLuint floorList = 0;
    FMOD_SYSTEM* soundSystem = nullptr;
    FMOD_SOUND* music = nullptr;
    FMOD_SOUND* explosions[4] = {};
    FMOD_CHANNEL* channel = nullptr;

    // The name of the nearest of `hits` four-word selection records.
    static GLuint NearestHitName(const GLuint* buffer, int hits);

private:
    void InitWorld();
    bool InitSdl();
    void QueueOnlyHandledEvents();
    void InitSound();
    void StartMusic();
    bool InitVideo();
    void SetWindowIcon();
    void InitAssets();
    void InitGlState();
    bool CompileFloor();
    void InitLights();
    void OnKeyDown(SDLKey key);
    void OnKeyUp(SDLKey key);
    void OnButtonDown(const SDL_MouseButtonEvent& button);
    void DrawPickAnimation();
    void DrawMarker(float x, float z);
    void StartExplosion(float x, float z);
    void DrawBlast(int t, float x, float z);
    void DrawRing(int t, float x, float z);
    void DrawOverlay();

    // True once the current pick's explosion has started; makes it happen once per pick.
    bool explosionStarted = false;
};
