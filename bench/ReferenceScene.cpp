// The game's scene drawn the cheapest plain way: one vertex buffer and one draw per kind.
#define GL_GLEXT_PROTOTYPES 1
#include "ReferenceScene.h"

#include "app/CApp.h"
#include "model/objLoader.h"
#include "render/CTexture.h"
#include "world/CCity.h"
#include "world/CZombie.h"
#include "world/SceneGeometry.h"

#include <GL/glext.h>
#include <SDL.h>
#include <vector>

namespace {

// Laid out as GL_T2F_N3F_V3F, so one glInterleavedArrays call sets every pointer.
struct Vertex {
    GLfloat t[2];
    GLfloat n[3];
    GLfloat v[3];
};

struct Point {
    GLfloat v[3];
};

// The four corners of the game's tile (one cell, texture -1..1) at cell (column, row).
void AddTile(std::vector<Vertex>& out, int column, int row)
{
    const float corners[4][2] = {{1, -1}, {-1, -1}, {-1, 1}, {1, 1}};
    for (const auto& c : corners) {
        out.push_back({{c[0], c[1]}, {0, 1, 0},
                       {scene::CellX(column) + scene::tileHalfSize * c[0], 0,
                        scene::CellZ(row) + scene::tileHalfSize * c[1]}});
    }
}

std::vector<Vertex> FloorVertices(int columns, int rows)
{
    std::vector<Vertex> out;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            AddTile(out, column, row);
    }
    return out;
}

const obj_vec3 noVector = {0, 0, 0};
const obj_vec2 noTexcoord = {0, 0};

template <typename T>
const T& Element(T** array, int count, int index, const T& absent)
{
    return index >= 0 && index < count ? *array[index] : absent;
}

// One corner of the model moved onto cell (column, row) as the game's building matrix
// (translate, then scale across) moves it; normals as GL transforms them without
// renormalising, so the lighting comes out the same.
Vertex PlacedCorner(const objLoader& model, const obj_facet& facet, int corner, int column, int row)
{
    const double scale = scene::buildingScale;
    const obj_vec3& p = *model.vertices[facet.vertex[corner]];
    const obj_vec3& n = Element(model.normals, model.normalCount, facet.normal[corner], noVector);
    const obj_vec2& t = Element(model.texcoords, model.texcoordCount, facet.texcoord[corner], noTexcoord);
    return {{GLfloat(t.u), GLfloat(t.v)},
            {GLfloat(n.x / scale), GLfloat(n.y), GLfloat(n.z / scale)},
            {GLfloat(scene::CellX(column) + scale * p.x), GLfloat(scene::buildingLift + p.y),
             GLfloat(scene::CellZ(row) + scale * p.z)}};
}

// The loader draws a face as the triangle of its first three corners, when they exist.
bool Drawable(const objLoader& model, const obj_facet& facet)
{
    if (facet.corner_count < 3)
        return false;
    for (int corner = 0; corner < 3; ++corner) {
        if (facet.vertex[corner] < 0 || facet.vertex[corner] >= model.vertexCount)
            return false;
    }
    return true;
}

void AddBuilding(std::vector<Vertex>& out, const objLoader& model, int column, int row)
{
    for (int index = 0; index < model.facetCount; ++index) {
        const obj_facet& facet = *model.facets[index];
        if (!Drawable(model, facet))
            continue;
        for (int corner = 0; corner < 3; ++corner)
            out.push_back(PlacedCorner(model, facet, corner, column, row));
    }
}

std::vector<Vertex> BuildingVertices(const CApp& app)
{
    std::vector<Vertex> out;
    for (int row = 0; row < app.cityHeight; ++row) {
        for (int column = 0; column < app.cityWidth; ++column) {
            if (app.city->Grid(column, row) == 2)
                AddBuilding(out, *app.model, column, row);
        }
    }
    return out;
}

// Window coordinates of a feedback vertex back to the coordinates it was sent in,
// for an identity projection and a model-view that divides by `scale`.
Point Unproject(const GLfloat* window, const GLint* viewport, float scale)
{
    return {{(2 * (window[0] - viewport[0]) / viewport[2] - 1) * scale,
             (2 * (window[1] - viewport[1]) / viewport[3] - 1) * scale,
             (2 * window[2] - 1) * scale}};
}

std::vector<Point> FeedbackPoints(const std::vector<GLfloat>& feedback, GLint values, float scale)
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<Point> points;
    for (GLint at = 0; at + 3 < values; at += 4) {
        if (feedback[at] == GL_POINT_TOKEN)
            points.push_back(Unproject(&feedback[at + 1], viewport, scale));
    }
    return points;
}

// The horde draws its live zombies itself; feedback mode hands back the points it sends.
std::vector<Point> ZombiePoints(CZombie& zombies)
{
    const float scale = 100;
    std::vector<GLfloat> feedback(4 * CZombie::slotCount + 64);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScalef(1 / scale, 1 / scale, 1 / scale);
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    zombies.Draw();
    const GLint values = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    return FeedbackPoints(feedback, values, scale);
}

template <typename T>
GLsizei Upload(GLuint buffer, const std::vector<T>& data)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(), GL_STATIC_DRAW);
    return static_cast<GLsizei>(data.size());
}

void DrawBuffer(GLuint buffer, GLenum format, GLenum mode, GLsizei count)
{
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glInterleavedArrays(format, 0, nullptr);
    glDrawArrays(mode, 0, count);
}

// As the loader's list does: a model without a material draws untextured.
void BindModelTexture(objLoader& model)
{
    CTexture* const texture = model.textures[model.textureSlot];
    if (texture != nullptr)
        texture->Use();
    else
        glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace

ReferenceScene::ReferenceScene(CApp& game) : app(game)
{
    glGenBuffers(3, buffers);
    floorCount = Upload(buffers[0], FloorVertices(app.cityWidth, app.cityHeight));
    buildingCount = Upload(buffers[1], BuildingVertices(app));
    zombieCount = Upload(buffers[2], ZombiePoints(*app.zombies));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

ReferenceScene::~ReferenceScene()
{
    glDeleteBuffers(3, buffers);
}

// The game frame's camera, state and colours, without the text line.
void ReferenceScene::Draw()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    app.LookAtScene();
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnable(GL_TEXTURE_2D);
    glColor4f(0.7f, 0.7f, 0.7f, 1);
    app.floorTexture->Use();
    DrawBuffer(buffers[0], GL_T2F_N3F_V3F, GL_QUADS, floorCount);
    BindModelTexture(*app.model);
    DrawBuffer(buffers[1], GL_T2F_N3F_V3F, GL_TRIANGLES, buildingCount);
    glDisable(GL_TEXTURE_2D);
    glPointSize(5);
    glColor4f(1, 1, 1, 1);
    DrawBuffer(buffers[2], GL_V3F, GL_POINTS, zombieCount);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glPopClientAttrib();
    SDL_GL_SwapBuffers();
}
