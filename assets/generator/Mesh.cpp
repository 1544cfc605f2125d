// Builds the triangle list and its OBJ text.
#include "Mesh.h"

#include <cstdio>

namespace {

Vec3 Minus(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

Vec3 Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

double Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

std::string Format(const char* format, double a, double b, double c = 0.0)
{
    char line[128];
    std::snprintf(line, sizeof line, format, a, b, c);
    return line;
}

// Avoids "-0.0000" and "0.0000" naming the same point twice.
double Tidy(double value, double step)
{
    return (value > -step && value < step) ? 0.0 : value;
}

} // namespace

void Mesh::BeginGroup(const std::string& name)
{
    groups.emplace_back(triangles.size(), name);
}

int Mesh::Intern(std::vector<std::string>& lines, std::map<std::string, int>& seen, const std::string& line)
{
    const auto found = seen.find(line);
    if (found != seen.end())
        return found->second;
    lines.push_back(line);
    const int index = static_cast<int>(lines.size());
    seen.emplace(line, index);
    return index;
}

void Mesh::AddQuad(std::array<Corner, 4> corners, const Vec3& normal)
{
    const Vec3 winding = Cross(Minus(corners[1].position, corners[0].position),
                               Minus(corners[2].position, corners[0].position));
    if (Dot(winding, normal) < 0.0)
        std::swap(corners[1], corners[3]);
    const int n = Intern(normalLines, seenNormals,
                         Format("vn %.4f %.4f %.4f", Tidy(normal.x, 5e-5), Tidy(normal.y, 5e-5), Tidy(normal.z, 5e-5)));
    std::array<Reference, 4> refs;
    for (size_t i = 0; i < corners.size(); ++i) {
        const Vec3& p = corners[i].position;
        refs[i].position = Intern(positionLines, seenPositions,
                                  Format("v %.4f %.4f %.4f", Tidy(p.x, 5e-5), Tidy(p.y, 5e-5), Tidy(p.z, 5e-5)));
        refs[i].uv = Intern(uvLines, seenUvs, Format("vt %.6f %.6f", corners[i].uv.u, corners[i].uv.v));
        refs[i].normal = n;
    }
    triangles.push_back({refs[0], refs[1], refs[2]});
    triangles.push_back({refs[0], refs[2], refs[3]});
}

std::string Mesh::ToObj(const std::string& materialLibrary, const std::string& material) const
{
    std::string text = "# Skarnholt building: a brick block with a glass tower, texture v = 0 at the picture's top\n";
    text += "mtllib " + materialLibrary + "\n";
    text += "o talo\n";
    for (const auto* lines : {&positionLines, &uvLines, &normalLines})
        for (const std::string& line : *lines)
            text += line + "\n";
    text += "usemtl " + material + "\n";
    size_t group = 0;
    for (size_t t = 0; t < triangles.size(); ++t) {
        while (group < groups.size() && groups[group].first == t)
            text += "g " + groups[group++].second + "\n";
        text += "f";
        for (const Reference& r : triangles[t])
            text += " " + std::to_string(r.position) + "/" + std::to_string(r.uv) + "/" + std::to_string(r.normal);
        text += "\n";
    }
    return text;
}
