// The game's OBJ/MTL reader next to tinyobjloader on one generated model. The two take
// turns, so that a noisy moment of the machine falls on both alike.
#include "ReaderBench.h"

#include "model/objLoader.h"
#include "support/ScratchFolder.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <tiny_obj_loader.h>

namespace {

namespace fs = std::filesystem;

// A square grid of `side` x `side` quads, each cut into two triangles, with positions,
// texture coordinates and normals, and one material from its own MTL file.
std::string GridModel(int side)
{
    std::string text = "# generated benchmark grid\nmtllib grid.mtl\no grid\n";
    char line[256];
    for (int row = 0; row <= side; ++row) {
        for (int column = 0; column <= side; ++column) {
            const double height = 0.25 * std::sin(0.1 * column) * std::cos(0.1 * row);
            std::snprintf(line, sizeof line, "v %.4f %.4f %.4f\nvt %.4f %.4f\nvn 0.0000 1.0000 0.0000\n",
                          column * 0.05, height, row * -0.05, double(column) / side, double(row) / side);
            text += line;
        }
    }
    text += "usemtl grid\ns off\n";
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const int a = row * (side + 1) + column + 1;
            const int b = a + side + 1;
            std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\nf %d/%d/%d %d/%d/%d %d/%d/%d\n",
                          a, a, a, a + 1, a + 1, a + 1, b + 1, b + 1, b + 1, a, a, a, b + 1, b + 1, b + 1, b, b, b);
            text += line;
        }
    }
    return text;
}

const char* const gridMaterial = "newmtl grid\nKa 0.2 0.2 0.2\nKd 0.8 0.8 0.8\nillum 1\nmap_Kd grid.bmp\n";

// The game reader as the game calls it, by a name relative to the working directory.
double TimeGameReader(const std::string& folder, int& faces)
{
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    obj_scene_data scene{};
    double ms = 0;
    {
        const SilencedStdout quiet;
        const double start = NowMs();
        parse_obj_scene(&scene, "grid.obj");
        ms = NowMs() - start;
    }
    faces = scene.n_facets;
    delete_obj_data(&scene);
    fs::current_path(before);
    return ms;
}

double TimeTinyobj(const std::string& folder, int& faces)
{
    tinyobj::attrib_t attributes;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warning;
    std::string error;
    const std::string file = folder + "/grid.obj";
    const std::string base = folder + "/";
    const double start = NowMs();
    tinyobj::LoadObj(&attributes, &shapes, &materials, &warning, &error, file.c_str(), base.c_str());
    const double ms = NowMs() - start;
    faces = 0;
    for (const tinyobj::shape_t& shape : shapes)
        faces += static_cast<int>(shape.mesh.num_face_vertices.size());
    return ms;
}

} // namespace

ReaderResults MeasureReader(int minTriangles, int runs)
{
    ReaderResults results;
    results.game.name = "OBJ reader (game)";
    results.tinyobj.name = "OBJ reader (tinyobjloader)";
    const ScratchFolder folder;
    if (!folder.Made())
        return results;
    const int side = static_cast<int>(std::ceil(std::sqrt(minTriangles / 2.0)));
    const std::string model = GridModel(side);
    folder.Write("grid.obj", model);
    folder.Write("grid.mtl", gridMaterial);
    results.generated = true;
    results.triangles = 2 * side * side;
    results.fileBytes = static_cast<long>(model.size());
    for (int run = 0; run < runs; ++run) {
        results.game.runs.push_back(TimeGameReader(folder.Folder(), results.gameFaces));
        results.tinyobj.runs.push_back(TimeTinyobj(folder.Folder(), results.tinyobjFaces));
    }
    return results;
}
