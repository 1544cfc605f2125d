// Prints where the centre of a floor tile appears in the game window for the starting
// camera, as "x y" in window coordinates (origin top-left), so scripts can click tiles.
//   tile_pixel COLUMN ROW [HEIGHT]   (fractional columns and rows reach inside a tile)
#include "app/GameSettings.h"
#include "world/SceneGeometry.h"

#include <GL/glu.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// The game's starting view: the eye looking at the origin, the city shifted to lie about
// it, the scene's lens on the whole window.
const double eye[3] = {scene::startEyeX, scene::startEyeY, scene::startEyeZ};
const double offsetX = scene::CityOffsetX(settings::cityColumns);
const double offsetZ = scene::CityOffsetZ(settings::cityRows);
const GLint viewport[4] = {0, 0, settings::windowWidth, settings::windowHeight};

void Normalise(double v[3])
{
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int i = 0; i < 3; ++i)
        v[i] /= length;
}

void Cross(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// Column-major look-at matrix towards the origin with +y up, then the scene offset.
void ModelView(double m[16])
{
    double forward[3] = {-eye[0], -eye[1], -eye[2]};
    const double up[3] = {0, 1, 0};
    double side[3], trueUp[3];
    Normalise(forward);
    Cross(forward, up, side);
    Normalise(side);
    Cross(side, forward, trueUp);
    const double rows[3][3] = {{side[0], side[1], side[2]},
                               {trueUp[0], trueUp[1], trueUp[2]},
                               {-forward[0], -forward[1], -forward[2]}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            m[c * 4 + r] = rows[r][c];
        const double shifted[3] = {offsetX - eye[0], -eye[1], offsetZ - eye[2]};
        m[12 + r] = rows[r][0] * shifted[0] + rows[r][1] * shifted[1] + rows[r][2] * shifted[2];
        m[r * 4 + 3] = 0;
    }
    m[15] = 1;
}

void Projection(double m[16])
{
    const double f = 1.0 / std::tan(scene::fieldOfView / 2 * M_PI / 180);
    const double aspect = scene::Aspect(settings::windowWidth, settings::windowHeight);
    const double nearZ = scene::nearPlane, farZ = scene::farPlane;
    for (int i = 0; i < 16; ++i)
        m[i] = 0;
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (farZ + nearZ) / (nearZ - farZ);
    m[11] = -1;
    m[14] = 2 * farZ * nearZ / (nearZ - farZ);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tile_pixel COLUMN ROW [HEIGHT]\n");
        return 2;
    }
    const double height = argc > 3 ? std::atof(argv[3]) : 0.0;
    double modelview[16], projection[16], wx, wy, wz;
    ModelView(modelview);
    Projection(projection);
    gluProject(scene::cellSize * std::atof(argv[1]), height, -scene::cellSize * std::atof(argv[2]), modelview, projection,
               viewport, &wx, &wy, &wz);
    std::printf("%d %d\n", static_cast<int>(wx), viewport[3] - static_cast<int>(wy));
    return 0;
}
