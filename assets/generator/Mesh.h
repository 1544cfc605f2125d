// A triangle mesh with texture coordinates and flat normals, written as Wavefront OBJ.
#pragma once

#include <array>
#include <map>
#include <string>
#include <vector>

struct Vec3 {
    double x, y, z;
};

struct TexCoord {
    double u, v;
};

struct Corner {
    Vec3 position;
    TexCoord uv;
};

class Mesh {
public:
    // Faces added from now on are listed under this group name.
    void BeginGroup(const std::string& name);
    // A flat convex quad; it is split in two triangles wound counter-clockwise as seen
    // from the side that `normal` points to, whichever way round the corners are given.
    void AddQuad(std::array<Corner, 4> corners, const Vec3& normal);

    int TriangleCount() const { return static_cast<int>(triangles.size()); }
    // OBJ text using only v, vt, vn, f, g, mtllib and usemtl, with v/vt/vn on every corner.
    std::string ToObj(const std::string& materialLibrary, const std::string& material) const;

private:
    struct Reference {
        int position, uv, normal;  // 1-based, as OBJ counts
    };

    // Identical lines share one index, which keeps the file small.
    static int Intern(std::vector<std::string>& lines, std::map<std::string, int>& seen, const std::string& line);

    std::vector<std::string> positionLines, uvLines, normalLines;
    std::map<std::string, int> seenPositions, seenUvs, seenNormals;
    std::vector<std::array<Reference, 3>> triangles;
    std::vector<std::pair<size_t, std::string>> groups;  // first triangle, name
};
