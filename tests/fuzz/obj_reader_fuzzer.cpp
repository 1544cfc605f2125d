// libFuzzer target for the OBJ/MTL reader: the input up to its first NUL byte is read as an
// OBJ file, the rest is the MTL file "fuzz.mtl" that the OBJ part may name with "mtllib".
#include "model/objLoader.h"
#include "render/CTexture.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

// The reader never touches a texture; this stand-in keeps the fuzzer free of SDL.
CTexture::CTexture(const char*) : textureId(0) {}
CTexture::~CTexture() {}
void CTexture::Use() {}

namespace {

std::string folder;

void WriteFile(const char* name, const uint8_t* data, size_t size)
{
    FILE* const file = std::fopen(name, "wb");
    if (file == nullptr)
        std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);
}

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

// What the loader relies on: at most four corners, terminated names and file names.
void CheckScene(const obj_scene_data& scene)
{
    for (int index = 0; index < scene.n_facets; ++index) {
        const int corners = scene.facets[index]->corner_count;
        if (corners < 0 || corners > MAX_VERTEX_COUNT)
            std::abort();
    }
    for (int index = 0; index < scene.n_materials; ++index) {
        const obj_material& material = *scene.materials[index];
        if (strnlen(material.name, MATERIAL_NAME_SIZE) == MATERIAL_NAME_SIZE ||
            strnlen(material.texture_file, OBJ_FILENAME_LENGTH) == OBJ_FILENAME_LENGTH)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The model files live in a private folder; the line trace is large and of no interest.
    std::string pattern = (std::filesystem::temp_directory_path() / "obj-reader-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr || chdir(pattern.c_str()) != 0)
        std::abort();
    folder = pattern;
    std::atexit(RemoveFolder);
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto* const nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t objSize = nul != nullptr ? static_cast<size_t>(nul - data) : size;
    WriteFile("fuzz.obj", data, objSize);
    WriteFile("fuzz.mtl", data + objSize + (nul != nullptr ? 1 : 0), size - objSize - (nul != nullptr ? 1 : 0));

    obj_scene_data scene;
    if (parse_obj_scene(&scene, "fuzz.obj") != 1)
        std::abort();
    CheckScene(scene);
    delete_obj_data(&scene);
    return 0;
}
