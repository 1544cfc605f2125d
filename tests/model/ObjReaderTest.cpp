// Tests of the OBJ and MTL reader on small model files written by the tests.
#include "model/objLoader.h"
#include "support/CaptureOutput.h"
#include "support/ScratchFolder.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class ObjReaderTest : public testing::Test {
protected:
    ~ObjReaderTest() override
    {
        if (loaded)
            delete_obj_data(&scene);
    }

    // Writes the text as model.obj and reads it, with the output captured.
    bool Read(const std::string& objText)
    {
        const std::string path = folder.Write("model.obj", objText);
        output = CaptureOutput([&] { loaded = parse_obj_scene(&scene, path.c_str()) == 1; });
        return loaded;
    }

    std::string Mtllib(const std::string& name) const { return "mtllib " + folder.Path(name) + "\n"; }

    const obj_facet& Face(int index) const { return *scene.facets[index]; }
    const obj_material& Material(int index) const { return *scene.materials[index]; }

    ScratchFolder folder;
    obj_scene_data scene{};
    bool loaded = false;
    Captured output;
};

std::string Repeat(const std::string& line, int times)
{
    std::string text;
    for (int index = 0; index < times; ++index)
        text += line;
    return text;
}

std::vector<int> Slots(const int* indices, int count)
{
    return std::vector<int>(indices, indices + count);
}

std::vector<double> Vec3(const obj_vec3& vector)
{
    return {vector.x, vector.y, vector.z};
}

std::vector<float> Colour(const float* colour)
{
    return std::vector<float>(colour, colour + 4);
}

using Ints = std::vector<int>;

TEST_F(ObjReaderTest, CornerFormsGiveTheirIndices)
{
    ASSERT_TRUE(Read(Repeat("v 0 0 0\n", 6) + Repeat("vt 0 0\n", 5) + Repeat("vn 0 0 1\n", 5) +
                     "f 1/2/3 2/3/4 3/4/5\n"
                     "f 1//3 2//3 3//3\n"
                     "f 4 5 6\n"
                     "f 1/2 2/3 3/4 4/5\n"));
    ASSERT_EQ(4, scene.n_facets);

    EXPECT_EQ(3, Face(0).corner_count);
    EXPECT_EQ(Ints({0, 1, 2, -1}), Slots(Face(0).vertex, 4));
    EXPECT_EQ(Ints({1, 2, 3}), Slots(Face(0).texcoord, 3));
    EXPECT_EQ(Ints({2, 3, 4}), Slots(Face(0).normal, 3));

    EXPECT_EQ(Ints({0, 1, 2}), Slots(Face(1).vertex, 3));
    EXPECT_EQ(Ints({-1, -1, -1}), Slots(Face(1).texcoord, 3));
    EXPECT_EQ(Ints({2, 2, 2}), Slots(Face(1).normal, 3));

    EXPECT_EQ(Ints({3, 4, 5}), Slots(Face(2).vertex, 3));
    EXPECT_EQ(Ints({-1, -1, -1}), Slots(Face(2).texcoord, 3));
    EXPECT_EQ(Ints({-1, -1, -1}), Slots(Face(2).normal, 3));

    EXPECT_EQ(4, Face(3).corner_count);
    EXPECT_EQ(Ints({1, 2, 3, 4}), Slots(Face(3).texcoord, 4));
    EXPECT_EQ(Ints({-1, -1, -1, -1}), Slots(Face(3).normal, 4));
}

TEST_F(ObjReaderTest, NegativeIndicesCountFromTheFacesOwnLine)
{
    ASSERT_TRUE(Read(Repeat("v 0 0 0\n", 10) + Repeat("vt 0 0\n", 2) + Repeat("vn 0 0 1\n", 3) +
                     "f -1/-1/-1 -2/-2/-2 -3/-2/-3\n"
                     "v 1 1 1\n"
                     "f -1 1 12\n"));
    EXPECT_EQ(Ints({9, 8, 7}), Slots(Face(0).vertex, 3));
    EXPECT_EQ(Ints({1, 0, 0}), Slots(Face(0).texcoord, 3));
    EXPECT_EQ(Ints({2, 1, 0}), Slots(Face(0).normal, 3));
    // A positive index may name a vertex that comes later in the file.
    EXPECT_EQ(Ints({10, 0, 11}), Slots(Face(1).vertex, 3));
}

// Indices read as atoi reads them: a sign, leading white space that is no delimiter, a
// stop at the first other character; numbers beyond int are held at its nearest end.
TEST_F(ObjReaderTest, CornerIndicesReadAsAtoiAndHeldToTheRangeOfInt)
{
    ASSERT_TRUE(Read(Repeat("v 0 0 0\n", 4) +
                     "f +2/+3/-1 \v3/7x/0 4q 99999999999/-99999999999/2147483647\n"));
    EXPECT_EQ(Ints({1, 2, 3, INT_MAX - 1}), Slots(Face(0).vertex, 4));
    EXPECT_EQ(Ints({2, 6, -1, INT_MIN}), Slots(Face(0).texcoord, 4));
    EXPECT_EQ(Ints({-1, -1, -1, INT_MAX - 1}), Slots(Face(0).normal, 4));
}

TEST_F(ObjReaderTest, VectorsTakeTheirLeadingNumbers)
{
    ASSERT_TRUE(Read("v 1 2 3 4\n"
                     "vt 0.5 0.25 0\n"
                     "vn 0 -1 1e1\n"
                     "v 1.5 abc -2\r\n"));
    ASSERT_EQ(2, scene.n_vertices);
    EXPECT_EQ(std::vector<double>({1, 2, 3}), Vec3(*scene.vertices[0]));
    EXPECT_EQ(std::vector<double>({1.5, 0, -2}), Vec3(*scene.vertices[1]));
    EXPECT_EQ(std::vector<double>({0, -1, 10}), Vec3(*scene.normals[0]));
    EXPECT_EQ(0.5, scene.texcoords[0]->u);
    EXPECT_EQ(0.25, scene.texcoords[0]->v);
}

TEST_F(ObjReaderTest, TraceShowsEveryLineAndUnknownKeywordsAreReported)
{
    ASSERT_TRUE(Read("\n"
                     "# a comment\n"
                     "l 1 2\n"
                     "  v 1 2 3\n"
                     "g group\n"
                     "V 1 2 3\n"
                     "#joined\n"));
    const std::string path = folder.Path("model.obj");
    EXPECT_EQ("Loading " + path + "\n"
              "'' in scene code at line 1: \"\n\".\n"
              "'#' in scene code at line 2: \"#\".\n"
              "'l' in scene code at line 3: \"l\".\n"
              "Unknown command 'l' in scene code at line 3: \"l\".\n"
              "'v' in scene code at line 4: \"  v\".\n"
              "'g' in scene code at line 5: \"g\".\n"
              "'V' in scene code at line 6: \"V\".\n"
              "Unknown command 'V' in scene code at line 6: \"V\".\n"
              "'#joined' in scene code at line 7: \"#joined\".\n",
              output.out);
    EXPECT_EQ("", output.err);
    EXPECT_EQ(1, scene.n_vertices);
}

TEST_F(ObjReaderTest, MissingObjFileFailsAndLeavesTheSceneAlone)
{
    scene.n_vertices = 1234;
    const std::string path = folder.Path("absent.obj");
    int result = -1;
    const Captured captured = CaptureOutput([&] { result = parse_obj_scene(&scene, path.c_str()); });
    EXPECT_EQ(0, result);
    EXPECT_EQ("Loading " + path + "\n", captured.out);
    EXPECT_EQ("Error reading file: " + path + "\n", captured.err);
    EXPECT_EQ(1234, scene.n_vertices);
}

TEST_F(ObjReaderTest, LineLongerThan499CharactersIsReadAsSeveralLines)
{
    // The first 499 characters end in the middle of the comment; its tail is a line of its own.
    ASSERT_TRUE(Read("# " + std::string(497, 'x') + "v 4 5 6\nv 7 8 9\n"));
    ASSERT_EQ(2, scene.n_vertices);
    EXPECT_EQ(std::vector<double>({4, 5, 6}), Vec3(*scene.vertices[0]));
    EXPECT_NE(std::string::npos, output.out.find("'v' in scene code at line 2: \"v\".\n"));
    EXPECT_NE(std::string::npos, output.out.find("'v' in scene code at line 3: \"v\".\n"));
}

TEST_F(ObjReaderTest, MaterialsStartWithDefaultsAndTakeTheirProperties)
{
    folder.Write("m.mtl", "newmtl Plain\n"
                          "newmtl Brick\n"
                          "Ka 0.5 0.25 0.125\n"
                          "Kd 0.75 0.5 0.25\n"
                          "Ks 0.25 0.5 0.75\r\n"
                          "Ns 10\r\n"
                          "d 0.5\n"
                          "r 0.25\n"
                          "sharpness 60\n"
                          "Ni 1.5\n"
                          "illum 2\n"
                          "map_Kd brick.bmp\n"
                          "map_Ka other.bmp\r\n");
    ASSERT_TRUE(Read(Mtllib("m.mtl")));
    EXPECT_NE(std::string::npos, output.out.find("\n" + folder.Path("m.mtl") + "\n"));
    EXPECT_EQ("", output.err);
    ASSERT_EQ(2, scene.n_materials);

    const obj_material& plain = Material(0);
    EXPECT_STREQ("", plain.texture_file);
    EXPECT_EQ(std::vector<float>({0.2f, 0.2f, 0.2f, 1.0f}), Colour(plain.ambient));
    EXPECT_EQ(std::vector<float>({0.8f, 0.8f, 0.8f, 1.0f}), Colour(plain.diffuse));
    EXPECT_EQ(std::vector<float>({1.0f, 1.0f, 1.0f, 1.0f}), Colour(plain.specular));
    EXPECT_EQ(0.0, plain.reflectivity);
    EXPECT_EQ(1.0, plain.dissolve);
    EXPECT_EQ(0.0, plain.shininess);
    EXPECT_EQ(98.0, plain.sharpness);
    EXPECT_EQ(1.0, plain.optical_density);

    const obj_material& brick = Material(1);
    EXPECT_STREQ("other.bmp", brick.texture_file);
    EXPECT_EQ(std::vector<float>({0.5f, 0.25f, 0.125f, 1.0f}), Colour(brick.ambient));
    EXPECT_EQ(std::vector<float>({0.75f, 0.5f, 0.25f, 1.0f}), Colour(brick.diffuse));
    EXPECT_EQ(std::vector<float>({0.25f, 0.5f, 0.75f, 1.0f}), Colour(brick.specular));
    EXPECT_EQ(0.25, brick.reflectivity);
    EXPECT_EQ(0.5, brick.dissolve);
    EXPECT_EQ(10.0, brick.shininess);
    EXPECT_EQ(60.0, brick.sharpness);
    EXPECT_EQ(1.5, brick.optical_density);
}

TEST_F(ObjReaderTest, MtlCommentMarksMustStandApartAndPropertiesNeedAMaterial)
{
    const std::string mtl = folder.Write("m.mtl", "Kd 1 1 1\n"
                                                  "# comment\n"
                                                  "// comment\n"
                                                  "#joined\n"
                                                  "newmtl A\n"
                                                  "Kd 0.5 0.5 0.5\n"
                                                  "Tf 1 1 1\n");
    ASSERT_TRUE(Read(Mtllib("m.mtl")));
    EXPECT_EQ("Unknown command 'Kd' in material file " + mtl + " at line 1:\n\tKd\n"
              "Unknown command '#joined' in material file " + mtl + " at line 4:\n\t#joined\n"
              "Unknown command 'Tf' in material file " + mtl + " at line 7:\n\tTf\n",
              output.err);
    ASSERT_EQ(1, scene.n_materials);
    EXPECT_EQ(std::vector<float>({0.5f, 0.5f, 0.5f, 1.0f}), Colour(Material(0).diffuse));
}

TEST_F(ObjReaderTest, UsemtlSelectsTheFirstMaterialBeginningWithTheName)
{
    folder.Write("m.mtl", "newmtl Material\nnewmtl Mat\nnewmtl Other\n");
    ASSERT_TRUE(Read(Repeat("v 0 0 0\n", 3) +
                     "usemtl Mat\nf 1 2 3\n" + Mtllib("m.mtl") +
                     "f 1 2 3\n"
                     "usemtl Mat\nf 1 2 3\n"
                     "usemtl Zzz\nf 1 2 3\n"
                     "usemtl Oth\nf 1 2 3\n"));
    ASSERT_EQ(5, scene.n_facets);
    EXPECT_EQ(-1, Face(0).material);
    EXPECT_EQ(-1, Face(1).material);
    EXPECT_EQ(0, Face(2).material);
    EXPECT_EQ(-1, Face(3).material);
    EXPECT_EQ(2, Face(4).material);
}

TEST_F(ObjReaderTest, LaterMtllibReplacesMaterialsOnlyWhenItsFileOpens)
{
    folder.Write("a.mtl", "newmtl A\nnewmtl B\n");
    folder.Write("b.mtl", "newmtl C\n");
    ASSERT_TRUE(Read(Mtllib("a.mtl") + Mtllib("b.mtl") + Mtllib("absent.mtl")));
    EXPECT_EQ("Error reading file: " + folder.Path("absent.mtl") + "\n", output.err);
    EXPECT_NE(std::string::npos, output.out.find("\n" + folder.Path("absent.mtl") + "\n"));
    ASSERT_EQ(1, scene.n_materials);
    EXPECT_EQ(0, std::strncmp("C", Material(0).name, 1));
}

TEST_F(ObjReaderTest, ModelWithoutMtllibHasNoMaterials)
{
    ASSERT_TRUE(Read(Repeat("v 0 0 0\n", 3) + "usemtl A\nf 1 2 3\n"));
    EXPECT_EQ(0, scene.n_materials);
    EXPECT_EQ(-1, Face(0).material);
}

TEST_F(ObjReaderTest, FaceWithMoreThanFourCornersKeepsTheFirstFour)
{
    ASSERT_TRUE(Read(Repeat("v 0 0 0\n", 6) + "f 1 2 3 4 5 6\nv 1 1 1\n"));
    EXPECT_EQ(4, Face(0).corner_count);
    EXPECT_EQ(Ints({0, 1, 2, 3}), Slots(Face(0).vertex, 4));
    EXPECT_EQ(Ints({-1, -1, -1, -1}), Slots(Face(0).normal, 4));
    EXPECT_EQ(Ints({-1, -1, -1, -1}), Slots(Face(0).texcoord, 4));
    EXPECT_EQ(7, scene.n_vertices);
}

TEST_F(ObjReaderTest, LinesLackingOperandsReadZerosAndEmptyNames)
{
    folder.Write("m.mtl", "newmtl\nKd 0.5\nmap_Kd\nnewmtl Second\n");
    ASSERT_TRUE(Read("v 1\nvn 2 3\nvt\nf\n" + Mtllib("m.mtl") + "usemtl\nf 1 1 1\nmtllib\n"));
    EXPECT_EQ(std::vector<double>({1, 0, 0}), Vec3(*scene.vertices[0]));
    EXPECT_EQ(std::vector<double>({2, 3, 0}), Vec3(*scene.normals[0]));
    EXPECT_EQ(0.0, scene.texcoords[0]->u);
    EXPECT_EQ(0.0, scene.texcoords[0]->v);
    EXPECT_EQ(0, Face(0).corner_count);
    // An empty material name begins every name, so it selects the first material.
    EXPECT_EQ(0, Face(1).material);
    EXPECT_EQ("Error reading file: \n", output.err);

    ASSERT_EQ(2, scene.n_materials);
    EXPECT_STREQ("", Material(0).name);
    EXPECT_STREQ("", Material(0).texture_file);
    EXPECT_EQ(std::vector<float>({0.5f, 0.0f, 0.0f, 1.0f}), Colour(Material(0).diffuse));
}

TEST_F(ObjReaderTest, MaterialNameOf300CharactersIsCutTo254AndStillFound)
{
    folder.Write("m.mtl", "newmtl " + std::string(300, 'm') + "\nnewmtl short\n");
    ASSERT_TRUE(Read(Repeat("v 0 0 0\n", 3) + Mtllib("m.mtl") +
                     "usemtl " + std::string(254, 'm') + "\nf 1 2 3\n"
                     "usemtl short\nf 1 2 3\n"));
    ASSERT_EQ(2, scene.n_materials);
    EXPECT_EQ(std::string(254, 'm'), Material(0).name);
    EXPECT_EQ(0, Face(0).material);
    EXPECT_EQ(1, Face(1).material);
}

} // namespace
