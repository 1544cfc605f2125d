// Tests of the model loader in the test window: its report, its display list and Draw.
#include "model/objLoader.h"
#include "support/CaptureOutput.h"
#include "support/ScratchFolder.h"
#include "render/CTexture.h"

#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct Point {
    double x, y;
};
using Triangle = std::vector<Point>;

std::string LittleEndian(unsigned value, int bytes)
{
    std::string text;
    for (int index = 0; index < bytes; ++index)
        text += static_cast<char>((value >> (8 * index)) & 0xFF);
    return text;
}

// A 2 x 2 picture of one colour as a 24-bit BMP: BGR pixels, rows padded to 8 bytes.
std::string SolidBmp(unsigned char red, unsigned char green, unsigned char blue)
{
    const std::string pixel = {static_cast<char>(blue), static_cast<char>(green), static_cast<char>(red)};
    const std::string row = pixel + pixel + std::string(2, '\0');
    return "BM" + LittleEndian(54 + 16, 4) + LittleEndian(0, 4) + LittleEndian(54, 4) +
           LittleEndian(40, 4) + LittleEndian(2, 4) + LittleEndian(2, 4) + LittleEndian(1, 2) +
           LittleEndian(24, 2) + LittleEndian(0, 4) + LittleEndian(16, 4) + LittleEndian(2835, 4) +
           LittleEndian(2835, 4) + LittleEndian(0, 4) + LittleEndian(0, 4) + row + row;
}

std::string FaceLine(int face, const std::string& corner)
{
    return "face " + std::to_string(face) + ": " + corner + "\n";
}

class ObjLoaderGlTest : public testing::Test {
protected:
    // Model coordinates 0..1 cover the whole window; nothing but the model's texture colours it.
    void SetUp() override
    {
        glViewport(0, 0, 1024, 768);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1, 0, 1, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DEPTH_TEST);
        glColor3f(1, 1, 1);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        while (glGetError() != GL_NO_ERROR) {
        }
    }

    void TearDown() override
    {
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
        if (result == 1) {
            delete loader->textures[0];
            delete_obj_data(&loader->scene);
        }
        delete loader;
    }

    void Load(const std::string& objText)
    {
        const std::string path = folder.Write("model.obj", objText);
        output = CaptureOutput([&] { result = loader->load(path.c_str()); });
    }

    // Red, green and blue of the pixel at a point given in model coordinates.
    std::vector<int> Pixel(double x, double y) const
    {
        unsigned char rgb[3] = {};
        glReadPixels(static_cast<GLint>(x * 1024), static_cast<GLint>(y * 768), 1, 1, GL_RGB,
                     GL_UNSIGNED_BYTE, rgb);
        return {rgb[0], rgb[1], rgb[2]};
    }

    // The triangles that Draw sends, caught in feedback mode and turned back into model coordinates.
    std::vector<Triangle> DrawnTriangles() const
    {
        std::vector<GLfloat> buffer(4096);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_2D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        loader->Draw();
        const GLint values = glRenderMode(GL_RENDER);
        std::vector<Triangle> triangles;
        for (GLint index = 0; index < values;) {
            if (buffer[index++] != GL_POLYGON_TOKEN)
                continue;
            Triangle polygon(static_cast<size_t>(buffer[index++]));
            for (Point& corner : polygon) {
                corner = {buffer[index] / 1024.0, buffer[index + 1] / 768.0};
                index += 2;
            }
            triangles.push_back(polygon);
        }
        return triangles;
    }

    ScratchFolder folder;
    objLoader* loader = new objLoader;
    int result = -1;
    Captured output;
};

void ExpectTriangle(const Triangle& actual, const Triangle& expected)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t corner = 0; corner < expected.size(); ++corner) {
        EXPECT_NEAR(expected[corner].x, actual[corner].x, 1e-3) << "corner " << corner;
        EXPECT_NEAR(expected[corner].y, actual[corner].y, 1e-3) << "corner " << corner;
    }
}

GLint BoundTexture()
{
    GLint texture = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    return texture;
}

const std::vector<int> kBlack = {0, 0, 0};

TEST_F(ObjLoaderGlTest, OneTriangleModelIsReportedAndDrawnWithItsTexture)
{
    const std::string red = folder.Write("red.bmp", SolidBmp(255, 0, 0));
    folder.Write("m.mtl", "newmtl Red\nmap_Kd " + red + "\n");
    Load("mtllib " + folder.Path("m.mtl") + "\n"
         "v 0.1 0.1 0\nv 0.9 0.1 0\nv 0.1 0.9 0\n"
         "vt 0 0\nvt 1 0\nvt 0 1\n"
         "vn 0 0 1\nvn 0 1 0\nvn 1 0 0\n"
         "usemtl Red\nf 1/1/1 2/2/2 3/3/3\n");
    ASSERT_EQ(1, result);

    const std::string counts = "Number of vertices: 3\nNumber of vertex normals: 3\n"
                               "Number of texture coordinates: 3\nNumber of faces: 1\n";
    const std::string report =
        FaceLine(0, "v(0.100000,0.100000,0.000000), vt(0.000000, 0.000000), n(0.000000,0.000000,1.000000)") +
        FaceLine(0, "v(0.900000,0.100000,0.000000), vt(1.000000, 0.000000), n(0.000000,1.000000,0.000000)") +
        FaceLine(0, "v(0.100000,0.900000,0.000000), vt(0.000000, 1.000000), n(1.000000,0.000000,0.000000)");
    const size_t countsAt = output.out.find(counts);
    const size_t textureAt = output.out.find("Loading " + red + "\n");
    ASSERT_NE(std::string::npos, countsAt);
    ASSERT_NE(std::string::npos, textureAt);
    EXPECT_LT(countsAt, textureAt);
    ASSERT_GE(output.out.size(), report.size());
    EXPECT_EQ(report, output.out.substr(output.out.size() - report.size()));

    loader->Draw();
    EXPECT_EQ(std::vector<int>({255, 0, 0}), Pixel(0.25, 0.25));
    EXPECT_EQ(kBlack, Pixel(0.75, 0.75));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    ASSERT_NE(nullptr, loader->textures[0]);
    EXPECT_EQ(static_cast<GLint>(loader->textures[0]->textureId), BoundTexture());
    EXPECT_EQ(GL_NO_ERROR, glGetError());

    const std::vector<Triangle> triangles = DrawnTriangles();
    ASSERT_EQ(1u, triangles.size());
    ExpectTriangle(triangles[0], {{0.1, 0.1}, {0.9, 0.1}, {0.1, 0.9}});
}

TEST_F(ObjLoaderGlTest, FirstMaterialsTextureCoversTheWholeModel)
{
    const std::string red = folder.Write("red.bmp", SolidBmp(255, 0, 0));
    const std::string green = folder.Write("green.bmp", SolidBmp(0, 255, 0));
    folder.Write("m.mtl", "newmtl First\nmap_Ka " + red + "\nnewmtl Second\nmap_Kd " + green + "\n");
    Load("mtllib " + folder.Path("m.mtl") + "\n"
         "v 0.1 0.1 0\nv 0.9 0.1 0\nv 0.1 0.9 0\n"
         "usemtl Second\nf 1 2 3\n");
    ASSERT_EQ(1, result);
    EXPECT_NE(std::string::npos, output.out.find("Loading " + red + "\n"));
    EXPECT_EQ(std::string::npos, output.out.find("Loading " + green + "\n"));

    loader->Draw();
    EXPECT_EQ(std::vector<int>({255, 0, 0}), Pixel(0.25, 0.25));
}

TEST_F(ObjLoaderGlTest, OnlyDrawableFacesAreReportedAndDrawnFromTheirFirstThreeCorners)
{
    Load("v 0.1 0.1 0\nv 0.4 0.1 0\nv 0.1 0.4 0\nv 0.4 0.4 0\n"
         "v 0.6 0.6 0\nv 0.9 0.6 0\nv 0.6 0.9 0\n"
         "vt 0.5 0.5\nvn 0 0 1\n"
         "f 1/1/1 2/1/1 4/1/1 3/1/1\n"
         "f 1 2 99\n"
         "f 5 6\n"
         "f 5/9/9 6 7/-5/1 1 2 3\n"
         "f -9 1 2\n");
    ASSERT_EQ(1, result);
    const std::string expected =
        "Number of vertices: 7\nNumber of vertex normals: 1\n"
        "Number of texture coordinates: 1\nNumber of faces: 5\n" +
        FaceLine(0, "v(0.100000,0.100000,0.000000), vt(0.500000, 0.500000), n(0.000000,0.000000,1.000000)") +
        FaceLine(0, "v(0.400000,0.100000,0.000000), vt(0.500000, 0.500000), n(0.000000,0.000000,1.000000)") +
        FaceLine(0, "v(0.400000,0.400000,0.000000), vt(0.500000, 0.500000), n(0.000000,0.000000,1.000000)") +
        FaceLine(3, "v(0.600000,0.600000,0.000000), vt(0.000000, 0.000000), n(0.000000,0.000000,0.000000)") +
        FaceLine(3, "v(0.900000,0.600000,0.000000), vt(0.000000, 0.000000), n(0.000000,0.000000,0.000000)") +
        FaceLine(3, "v(0.600000,0.900000,0.000000), vt(0.000000, 0.000000), n(0.000000,0.000000,1.000000)");
    ASSERT_GE(output.out.size(), expected.size());
    EXPECT_EQ(expected, output.out.substr(output.out.size() - expected.size()));

    loader->Draw();
    EXPECT_NE(kBlack, Pixel(0.3, 0.15));
    // Inside the quad, but in the half that its fourth corner would add.
    EXPECT_EQ(kBlack, Pixel(0.15, 0.3));
    EXPECT_EQ(nullptr, loader->textures[0]);
    EXPECT_EQ(0, BoundTexture());
    EXPECT_EQ(GL_NO_ERROR, glGetError());

    const std::vector<Triangle> triangles = DrawnTriangles();
    ASSERT_EQ(2u, triangles.size());
    ExpectTriangle(triangles[0], {{0.1, 0.1}, {0.4, 0.1}, {0.4, 0.4}});
    ExpectTriangle(triangles[1], {{0.6, 0.6}, {0.9, 0.6}, {0.6, 0.9}});
}

TEST_F(ObjLoaderGlTest, DrawAfterAFailedLoadDrawsNothing)
{
    // The game's loader starts with whatever its memory held.
    loader->displayList = 12345;
    const std::string path = folder.Path("absent.obj");
    output = CaptureOutput([&] { result = loader->load(path.c_str()); });
    EXPECT_EQ(0, result);
    EXPECT_EQ("Loading " + path + "\n\nERRORORORr!!!!\n\n", output.out);
    EXPECT_EQ(0u, loader->displayList);

    loader->Draw();
    EXPECT_EQ(GL_NO_ERROR, glGetError());
    EXPECT_EQ(kBlack, Pixel(0.25, 0.25));
    EXPECT_EQ(kBlack, Pixel(0.5, 0.5));
    EXPECT_TRUE(DrawnTriangles().empty());
}

} // namespace
