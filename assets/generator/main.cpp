// Writes every asset of the game: building model and textures, street texture, blasts, music.
#include "Building.h"
#include "Explosions.h"
#include "Music.h"
#include "Textures.h"
#include "Wav.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

// The reader only treats a "#" standing alone as a comment in material files.
const char* const materialText =
    "# Skarnholt building material: the whole model uses the one atlas\n"
    "newmtl talo\n"
    "Ka 0.2 0.2 0.2\n"
    "Kd 0.8 0.8 0.8\n"
    "Ks 0.1 0.1 0.1\n"
    "Ns 10\n"
    "d 1\n"
    "illum 2\n"
    "map_Kd talo.bmp\n";

bool WriteModel(const std::string& dir)
{
    const Mesh building = BuildBuilding();
    std::printf("talo.obj: %d triangles\n", building.TriangleCount());
    return WriteText(dir + "/talo.obj", building.ToObj("talo.mtl", "talo")) &&
           WriteText(dir + "/talo.mtl", materialText) && PaintBuildingAtlas().SaveBmp(dir + "/talo.bmp");
}

bool WriteSounds(const std::string& dir)
{
    const auto recipes = ExplosionRecipes();
    for (size_t i = 0; i < recipes.size(); ++i) {
        char name[48];
        std::snprintf(name, sizeof name, "/explosion-%02d.wav", static_cast<int>(i + 1));
        if (!WriteWav(dir + name, SynthesiseExplosion(recipes[i]), 1))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s GAME_DIR MUSIC_WAV\n"
                             "  writes the game's assets into GAME_DIR and the music, still to be encoded, to MUSIC_WAV\n",
                     argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = WriteModel(dir) && PaintStreet().SaveBmp(dir + "/floor.bmp") && WriteSounds(dir) &&
                    WriteWav(argv[2], ComposeMusic(), 2);
    if (!ok) {
        std::fprintf(stderr, "could not write the assets into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
