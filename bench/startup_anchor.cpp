// The benchmark's start-up anchor: only what the game must do to show its first frame, done the
// cheapest plain way, in the game's order and timed in the game's phases. The same window, the
// two textures with mipmaps, the model, the font, the city and horde and the fixed GL state,
// then the game's first frame drawn once and presented. Run from the game's folder.
#include "app/GameSettings.h"
#include "platform/GlyphFont.h"
#include "platform/StartupPhase.h"
#include "world/CCity.h"
#include "world/CZombie.h"
#include "world/SceneGeometry.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>
#include <cstdio>
#include <map>
#include <string>
#include <tiny_obj_loader.h>
#include <vector>

namespace {

// Laid out as GL_T2F_N3F_V3F, so one glInterleavedArrays call sets every pointer.
struct Vertex {
    GLfloat t[2];
    GLfloat n[3];
    GLfloat v[3];
};

// The first frame's text line: its two labels and every digit its numbers may show.
const char* const textCharacters = "Zombies left: Time:0123456789";

const GLfloat sunAmbient[] = {0.1f, 0.1f, 0.1f, 0.1f};
const GLfloat sunDiffuse[] = {0.5f, 0.5f, 0.5f, 0.4f};
const GLfloat sunSpecular[] = {0.4f, 0.4f, 0.4f, 0.4f};
const GLfloat sunPosition[] = {180.0f, -60.0f, 40.0f, 1.0f};
const GLfloat flashAmbient[] = {0.2f, 0.1f, 0.1f, 0.1f};
const GLfloat flashDiffuse[] = {0.8f, 0.7f, 0.7f, 0.7f};
const GLfloat flashSpecular[] = {0.8f, 0.7f, 0.7f, 0.7f};
const GLfloat flashPosition[] = {0.0f, 0.0f, 0.0f, 1.0f};

struct Model {
    std::vector<Vertex> triangles;
    std::string textureFile;
};

struct Scene {
    CCity* city = nullptr;
    CZombie* zombies = nullptr;
    Model model;
    GLuint floorTexture = 0;
    GLuint modelTexture = 0;
    std::map<char, GlyphFont::Glyph> glyphs;
    Uint32 startTicks = 0;
};

bool OpenWindow()
{
    const StartupPhase phase("SDL and video");
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Unable to initialize SDL: %s\n", SDL_GetError());
        return false;
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);
    SDL_Surface* const icon = SDL_LoadBMP("icon.bmp");
    if (icon != nullptr) {
        SDL_WM_SetIcon(icon, nullptr);
        SDL_FreeSurface(icon);
    }
    if (SDL_SetVideoMode(settings::windowWidth, settings::windowHeight, 32, SDL_OPENGL) == nullptr) {
        std::fprintf(stderr, "Unable to set video mode: %s\n", SDL_GetError());
        return false;
    }
    SDL_WM_SetCaption("Skarnholt", "Skarnholt");
    return true;
}

void BuildWorld(Scene& scene)
{
    const StartupPhase phase("city and horde");
    scene.city = new CCity(settings::cityColumns, settings::cityRows);
    scene.zombies = new CZombie(settings::zombies, scene.city, settings::cityColumns, settings::cityRows);
}

// The game draws each face as the triangle of its first three corners.
Model ReadModel(const char* fileName)
{
    const StartupPhase phase("model");
    tinyobj::attrib_t attributes;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warning;
    std::string error;
    Model model;
    if (!tinyobj::LoadObj(&attributes, &shapes, &materials, &warning, &error, fileName, "./", false))
        return model;
    for (const tinyobj::shape_t& shape : shapes) {
        size_t first = 0;
        for (const unsigned char corners : shape.mesh.num_face_vertices) {
            for (size_t corner = 0; corner < 3 && corners >= 3; ++corner) {
                const tinyobj::index_t index = shape.mesh.indices[first + corner];
                Vertex vertex = {};
                for (int axis = 0; axis < 3; ++axis) {
                    vertex.v[axis] = attributes.vertices[3 * index.vertex_index + axis];
                    if (index.normal_index >= 0)
                        vertex.n[axis] = attributes.normals[3 * index.normal_index + axis];
                }
                if (index.texcoord_index >= 0) {
                    vertex.t[0] = attributes.texcoords[2 * index.texcoord_index];
                    vertex.t[1] = attributes.texcoords[2 * index.texcoord_index + 1];
                }
                model.triangles.push_back(vertex);
            }
            first += corners;
        }
    }
    if (!materials.empty())
        model.textureFile = materials[0].diffuse_texname;
    return model;
}

// SDL decodes the BMP; GL makes the mipmaps as it takes level 0, as the game's textures do.
GLuint LoadTexture(const char* fileName)
{
    const StartupPhase phase("textures");
    GLuint texture = 0;
    SDL_Surface* const surface = SDL_LoadBMP(fileName);
    if (surface == nullptr)
        return texture;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    const GLenum format = surface->format->BytesPerPixel == 4 ? GL_BGRA : GL_BGR;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, surface->w, surface->h, 0, format, GL_UNSIGNED_BYTE,
                 surface->pixels);
    SDL_FreeSurface(surface);
    return texture;
}

void LoadFont(Scene& scene)
{
    const StartupPhase phase("font and text");
    const GlyphFont font("Comic Sans MS", true, 12);
    for (const char* c = textCharacters; *c != '\0'; ++c) {
        if (scene.glyphs.count(*c) == 0) {
            if (const auto glyph = font.Render(static_cast<unsigned char>(*c)))
                scene.glyphs.emplace(*c, *glyph);
        }
    }
}

void SetGlState()
{
    const StartupPhase phase("GL state");
    glViewport(0, 0, settings::windowWidth, settings::windowHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    scene::MultPerspective(settings::windowWidth, settings::windowHeight);
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
    glLightfv(GL_LIGHT0, GL_AMBIENT, sunAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, sunDiffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, sunSpecular);
    glLightfv(GL_LIGHT0, GL_POSITION, sunPosition);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT1, GL_AMBIENT, flashAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, flashDiffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, flashSpecular);
    glLightfv(GL_LIGHT1, GL_POSITION, flashPosition);
    glDisable(GL_LIGHT1);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

// The game's tiles, one per cell, where its matrix puts them: texture coordinates -1..1 lay
// the texture 2 x 2 on each.
std::vector<Vertex> FloorTiles()
{
    const float corners[4][2] = {{1, -1}, {-1, -1}, {-1, 1}, {1, 1}};
    std::vector<Vertex> tiles;
    for (int row = 0; row < settings::cityRows; ++row) {
        for (int column = 0; column < settings::cityColumns; ++column) {
            for (const auto& c : corners) {
                tiles.push_back({{c[0], c[1]}, {0, 1, 0},
                                 {scene::CellX(column) + scene::tileHalfSize * c[0], 0,
                                  scene::CellZ(row) + scene::tileHalfSize * c[1]}});
            }
        }
    }
    return tiles;
}

// Turns the vertex, normal and texture coordinate arrays on.
void DrawArrays(const std::vector<Vertex>& vertices, GLenum mode)
{
    glInterleavedArrays(GL_T2F_N3F_V3F, 0, vertices.data());
    glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size()));
}

void DrawFloor(const Scene& scene)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, scene.floorTexture);
    glColor4f(0.7f, 0.7f, 0.7f, 1);
    DrawArrays(FloorTiles(), GL_QUADS);
}

void DrawBuildings(const Scene& scene)
{
    glBindTexture(GL_TEXTURE_2D, scene.modelTexture);
    for (int row = 0; row < settings::cityRows; ++row) {
        for (int column = 0; column < settings::cityColumns; ++column) {
            if (scene.city->Grid(column, row) != 2)
                continue;
            glPushMatrix();
            glTranslatef(scene::CellX(column), scene::buildingLift, scene::CellZ(row));
            glScalef(scene::buildingScale, 1, scene::buildingScale);
            DrawArrays(scene.model.triangles, GL_TRIANGLES);
            glPopMatrix();
        }
    }
    // The game's list leaves the model's last normal current, and the zombie points are lit with it.
    if (!scene.model.triangles.empty())
        glNormal3fv(scene.model.triangles.back().n);
}

void DrawText(const Scene& scene, float x, float y, const char* text)
{
    glRasterPos2f(x, y);
    for (const char* c = text; *c != '\0'; ++c) {
        const auto found = scene.glyphs.find(*c);
        if (found == scene.glyphs.end())
            continue;
        const GlyphFont::Glyph& glyph = found->second;
        static const GLubyte blank = 0;
        glBitmap(glyph.width, glyph.rows, static_cast<float>(-glyph.left),
                 static_cast<float>(glyph.rows - glyph.top), static_cast<float>(glyph.advance), 0.0f,
                 glyph.bits.empty() ? &blank : glyph.bits.data());
    }
}

void DrawTextLine(Scene& scene)
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
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    char line[64];
    std::snprintf(line, sizeof line, "Zombies left: %03d", scene.zombies->ZombieAmount());
    DrawText(scene, -0.6f, 0.9f, line);
    const int ms = static_cast<int>(SDL_GetTicks() - scene.startTicks);
    std::snprintf(line, sizeof line, "Time: %02d:%02d:%02d", ms / 60000, (ms / 1000) % 60, (ms / 10) % 100);
    DrawText(scene, 0.2f, 0.9f, line);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
}

// The game's first frame: the floor, the buildings, the zombies and the text line.
void DrawFirstFrame(Scene& scene)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gluLookAt(scene::startEyeX, scene::startEyeY, scene::startEyeZ, 0, 0, 0, 0, 1, 0);
    glTranslatef(scene::CityOffsetX(settings::cityColumns), 0, scene::CityOffsetZ(settings::cityRows));
    DrawFloor(scene);
    DrawBuildings(scene);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    scene.zombies->Draw();
    DrawTextLine(scene);
    SDL_GL_SwapBuffers();
}

} // namespace

int main()
{
    Scene scene;
    BuildWorld(scene);
    if (!OpenWindow())
        return 1;
    scene.model = ReadModel("talo.obj");
    scene.modelTexture = LoadTexture(scene.model.textureFile.c_str());
    scene.floorTexture = LoadTexture("floor.bmp");
    LoadFont(scene);
    SetGlState();
    scene.startTicks = SDL_GetTicks();
    DrawFirstFrame(scene);
    SDL_Quit();
    return 0;
}
