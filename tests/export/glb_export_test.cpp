#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <cmath>
#include <numbers>
#include <cstring>

#include "export/export_error.h"
#include "export/export_fixtures.h"
#include "export/glb_export.h"
#include "export/terrain_mesh.h"
#include "support/temp_folder.h"
#include "support/thrown.h"

namespace terrak {
namespace {

using testing::AddBitmap;
using testing::FunctionGrid;

tinygltf::Model Load(const std::vector<std::uint8_t>& bytes) {
  tinygltf::TinyGLTF loader;
  tinygltf::Model model;
  std::string error, warning;
  EXPECT_TRUE(loader.LoadBinaryFromMemory(&model, &error, &warning, bytes.data(),
                                          static_cast<unsigned>(bytes.size())))
      << error;
  EXPECT_TRUE(error.empty()) << error;
  return model;
}

template <typename T>
std::vector<T> Read(const tinygltf::Model& model, int accessorIndex, int components) {
  const tinygltf::Accessor& a = model.accessors[accessorIndex];
  const tinygltf::BufferView& v = model.bufferViews[a.bufferView];
  const auto* data = model.buffers[v.buffer].data.data() + v.byteOffset + a.byteOffset;
  std::vector<T> out(a.count * components);
  std::memcpy(out.data(), data, out.size() * sizeof(T));
  return out;
}

struct Mesh {
  std::vector<float> Positions, Normals, TexCoords;
  std::vector<std::uint32_t> Indices;
};

Mesh MeshOf(const tinygltf::Model& model) {
  const tinygltf::Primitive& p = model.meshes.at(0).primitives.at(0);
  Mesh m;
  m.Positions = Read<float>(model, p.attributes.at("POSITION"), 3);
  m.Normals = Read<float>(model, p.attributes.at("NORMAL"), 3);
  if (p.attributes.count("TEXCOORD_0")) m.TexCoords = Read<float>(model, p.attributes.at("TEXCOORD_0"), 2);
  EXPECT_EQ(model.accessors[p.indices].componentType, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT);
  m.Indices = Read<std::uint32_t>(model, p.indices, 1);
  return m;
}

// The vertex at ground point (east, north) of the grid, by its position.
std::size_t VertexAt(const Mesh& m, double x, double z) {
  for (std::size_t k = 0; k < m.Positions.size() / 3; ++k)
    if (std::fabs(m.Positions[3 * k] - x) < 1e-4 && std::fabs(m.Positions[3 * k + 2] - z) < 1e-4)
      return k;
  ADD_FAILURE() << "no vertex at " << x << ", " << z;
  return 0;
}

TEST(GlbExport, TexturedMeshLoadsBackYUpCentredWithTheMapOnTheRightCells) {
  // 21 x 11 cells; height rises to the east, one interpolated cell.
  GridState grid = FunctionGrid(21, 11, 500, 800, [](auto x, auto y) {
    return 200.0 + static_cast<double>(x) + 0.1 * static_cast<double>(y);
  });
  grid.HeightGrid(4, 6) = static_cast<std::int16_t>(-grid.HeightGrid(4, 6));
  AddBitmap(grid);
  Georeferencing g = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 0.0);
  g.EpsgCode = 32631;
  const ExportedFiles files = ExportGlb(grid, g, {.Interval = 1});
  ASSERT_EQ(files.Files.size(), 1u);
  EXPECT_TRUE(files.Notes.empty());
  const std::vector<std::uint8_t>& bytes = files.Files[0].Bytes;
  ASSERT_GT(bytes.size(), 12u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "glTF");

  const tinygltf::Model model = Load(bytes);
  EXPECT_EQ(model.asset.version, "2.0");
  const Mesh m = MeshOf(model);
  EXPECT_EQ(std::tuple(m.Positions.size(), m.Indices.size()), std::tuple(21u * 11 * 3, 20u * 10 * 2 * 3));
  ASSERT_EQ(m.TexCoords.size(), 21u * 11 * 2);

  // The origin is the grid's middle at the lowest height; x east, y up, z south.
  const std::size_t sw = VertexAt(m, -10, 5), ne = VertexAt(m, 10, -5), bent = VertexAt(m, -6, -1);
  EXPECT_NEAR(m.Positions[3 * sw + 1], 0.0, 1e-4);
  EXPECT_NEAR(m.Positions[3 * ne + 1], 21.0, 1e-4);
  EXPECT_NEAR(m.Positions[3 * bent + 1], 4.6, 1e-4);  // interpolated, its height positive
  const tinygltf::Accessor& position = model.accessors[model.meshes[0].primitives[0].attributes.at("POSITION")];
  EXPECT_EQ(position.minValues, (std::vector<double>{-10, 0, -5}));
  EXPECT_NEAR(position.maxValues[1], 21.0, 1e-4);
  const tinygltf::Value& extras = model.nodes.at(0).extras;
  EXPECT_EQ(extras.Get("groundOrigin").Get(0).GetNumberAsDouble(), 510.0);
  EXPECT_EQ(extras.Get("groundOrigin").Get(1).GetNumberAsDouble(), 805.0);
  EXPECT_NEAR(extras.Get("groundOrigin").Get(2).GetNumberAsDouble(), 200.0, 1e-9);
  EXPECT_EQ(extras.Get("projectedOrigin").Get(0).GetNumberAsDouble(), 431510.0);
  EXPECT_EQ(extras.Get("epsg").GetNumberAsInt(), 32631);

  // Front faces look up, normals lean away from the eastward rise.
  for (std::size_t t = 0; t < m.Indices.size(); t += 3) {
    const float* a = &m.Positions[3 * m.Indices[t]];
    const float* b = &m.Positions[3 * m.Indices[t + 1]];
    const float* c = &m.Positions[3 * m.Indices[t + 2]];
    const double ux = b[0] - a[0], uz = b[2] - a[2], vx = c[0] - a[0], vz = c[2] - a[2];
    ASSERT_GT(uz * vx - ux * vz, 0.0) << "triangle " << t / 3 << " faces down";
  }
  EXPECT_LT(m.Normals[3 * ne], 0.0f);
  EXPECT_GT(m.Normals[3 * ne + 1], 0.5f);

  // The texture: the map bitmap, each vertex on the pixel of its own cell.
  ASSERT_EQ(model.images.size(), 1u);
  const tinygltf::Image& image = model.images[0];
  EXPECT_EQ(image.mimeType, "image/png");
  ASSERT_EQ(std::pair(image.width, image.height), std::pair(21, 11));
  EXPECT_EQ(model.materials.at(0).pbrMetallicRoughness.baseColorTexture.index, 0);
  for (const auto& [x, y] : {std::pair{0, 0}, {20, 10}, {4, 6}, {13, 2}}) {
    const std::size_t k = VertexAt(m, x - 10.0, 5.0 - y);
    const int px = static_cast<int>(std::floor(double{m.TexCoords[2 * k]} * image.width));
    const int py = static_cast<int>(std::floor(double{m.TexCoords[2 * k + 1]} * image.height));
    const unsigned char* pixel = &image.image[(py * image.width + px) * image.component];
    const int index = (x + 3 * y) % 256;
    EXPECT_EQ(std::tuple(int{pixel[0]}, int{pixel[1]}, int{pixel[2]}),  // red, green, blue
              std::tuple((7 * index) % 256, 255 - index, index)) << x << "," << y;
  }
}

TEST(GlbExport, IntervalEmptyCellsExaggerationAndAPlainMaterialWithoutBitmap) {
  // 11 x 8 cells at interval 3: columns 0, 3, 6, 9, 10 and rows 0, 3, 6, 7.
  GridState grid = FunctionGrid(11, 8, 0, 0, [](auto x, auto y) { return 10.0 + static_cast<double>(x + y); });
  grid.HeightGrid(6, 3) = 0;  // one lattice point without height: the six triangles around it go
  const GlbOptions options{.Interval = 3, .Exaggeration = 2.0};
  const tinygltf::Model plain = Load(ExportGlb(grid, {}, options).Files[0].Bytes);
  const Mesh m = MeshOf(plain);
  EXPECT_EQ(std::tuple(m.Positions.size(), m.Indices.size()), std::tuple((5u * 4 - 1) * 3, (4u * 3 * 2 - 6) * 3));
  const std::size_t ne = VertexAt(m, 5.0, -3.5);
  EXPECT_NEAR(m.Positions[3 * ne + 1], 2.0 * 17, 1e-4);
  EXPECT_TRUE(m.TexCoords.empty());
  // Rising one metre per metre east and north, doubled: every normal leans west and south
  // alike, at the edges and beside the point without height too; the vertex south of that
  // point, with no neighbour north or south, leans west only.
  const std::size_t alone = VertexAt(m, 1.0, 3.5);  // cell (6, 0)
  for (std::size_t k = 0; k < m.Normals.size(); k += 3) {
    const double r5 = 1 / std::sqrt(5.0);
    const std::array<double, 3> n = k == 3 * alone ? std::array{-2 * r5, r5, 0.0} : std::array{-2.0 / 3, 1.0 / 3, 2.0 / 3};
    ASSERT_NEAR(std::hypot(m.Normals[k] - n[0], m.Normals[k + 1] - n[1], m.Normals[k + 2] - n[2]), 0.0, 1e-5) << k / 3;
  }
  EXPECT_TRUE(plain.images.empty());
  EXPECT_EQ(plain.materials.at(0).pbrMetallicRoughness.baseColorTexture.index, -1);

  // A bitmap grid left from before, with no map bitmap loaded, is no texture.
  GridState stale = grid;
  AddBitmap(stale);
  stale.MapBitmapLoaded = false;
  EXPECT_TRUE(Load(ExportGlb(stale, {}, options).Files[0].Bytes).images.empty());

  // A bitmap that does not match the grid is left off, with a note.
  AddBitmap(grid);
  grid.BitmapGrid.Resize(5, 5, 0);
  const ExportedFiles mismatched = ExportGlb(grid, {}, options);
  EXPECT_TRUE(Load(mismatched.Files[0].Bytes).images.empty());
  ASSERT_EQ(mismatched.Notes.size(), 1u);
}

TEST(GlbExport, AGeoreferencedMapIsInTrueMetresAndItsExtrasPlaceTheModel) {
  // 21 x 11 cells rising one metre per cell to the east; a map metre is half a metre on the
  // ground, the map turned 30 degrees.
  const GridState grid = FunctionGrid(21, 11, 100, 200, [](auto x, auto) {
    return 50.0 + static_cast<double>(x);
  });
  Georeferencing g = GeoreferencingFromOffsetAngle(431000.0, 4650000.0, 30.0, 0.5);
  g.EpsgCode = 32631;
  const tinygltf::Model model = Load(ExportGlb(grid, g, {.Interval = 1}).Files[0].Bytes);
  const Mesh m = MeshOf(model);
  const tinygltf::Accessor& position =
      model.accessors[model.meshes[0].primitives[0].attributes.at("POSITION")];
  EXPECT_EQ(position.minValues, (std::vector<double>{-5, 0, -2.5}));
  EXPECT_EQ(position.maxValues, (std::vector<double>{5, 20, 2.5}));
  // Two metres up per metre east: the normal leans west by that slope.
  const std::size_t inner = VertexAt(m, 0.0, 0.0);
  EXPECT_NEAR(m.Normals[3 * inner], -2.0 / std::sqrt(5.0), 1e-6);

  const tinygltf::Value& extras = model.nodes.at(0).extras;
  EXPECT_DOUBLE_EQ(extras.Get("scaleFactor").GetNumberAsDouble(), 0.5);
  EXPECT_NEAR(extras.Get("rotationDegrees").GetNumberAsDouble(), 30.0, 1e-12);
  // Every vertex lands where the georeferencing puts its cell: east = E0 + x cos r + z sin r,
  // north = N0 + x sin r - z cos r.
  const double e0 = extras.Get("projectedOrigin").Get(0).GetNumberAsDouble();
  const double n0 = extras.Get("projectedOrigin").Get(1).GetNumberAsDouble();
  const double r = extras.Get("rotationDegrees").GetNumberAsDouble() * std::numbers::pi / 180;
  for (const auto& [cx, cy] : {std::pair{0, 0}, {20, 10}, {7, 3}}) {
    const std::size_t k = VertexAt(m, (cx - 10) * 0.5, -(cy - 5) * 0.5);
    const double x = m.Positions[3 * k], z = m.Positions[3 * k + 2];
    const Georeferencing::Point p = g.ToProjected(100 + cx, 200 + cy);
    EXPECT_NEAR(e0 + x * std::cos(r) + z * std::sin(r), p.Easting, 1e-6);
    EXPECT_NEAR(n0 + x * std::sin(r) - z * std::cos(r), p.Northing, 1e-6);
  }

  // Heights no single-precision number holds are refused, not written as infinities.
  for (const double exaggeration : {1e39, 1e30}) {
    EXPECT_EQ(testing::ThrownText<ExportError>(
                  [&] { ExportGlb(grid, g, {.Exaggeration = exaggeration}); }, &ExportError::what),
              kModelPrecisionMessage)
        << exaggeration;
  }
}

TEST(GlbExport, LargeBitmapsAreSampledDownToTheTextureLimit) {
  GridState grid = FunctionGrid(40, 30, 0, 0, [](auto, auto) { return 3.0; });
  AddBitmap(grid);
  const tinygltf::Model model = Load(ExportGlb(grid, {}, {.MaxTextureSide = 16}).Files[0].Bytes);
  ASSERT_EQ(model.images.size(), 1u);
  const tinygltf::Image& image = model.images[0];
  ASSERT_EQ(std::pair(image.width, image.height), std::pair(16, 16));
  // The top-left pixel is the north-west cell (0, 29); the bottom-right one, at 40 / 16 columns
  // and 30 / 16 rows a pixel, cell (37, 1). Blue is the palette index.
  const auto blue = [&](int x, int y) { return int{image.image[(y * 16 + x) * image.component + 2]}; };
  EXPECT_EQ(std::tuple(blue(0, 0), blue(15, 15)), std::tuple(0 + 3 * 29, 37 + 3 * 1));
}

TEST(GlbExport, GridsWithoutTrianglesAreRefused) {
  EXPECT_THROW(ExportGlb(GridState{}, {}, GlbOptions{}), ExportError);
  const GridState flat = FunctionGrid(5, 5, 0, 0, [](auto, auto) { return 0.0; });
  EXPECT_THROW(ExportGlb(flat, {}, GlbOptions{}), ExportError);
  // Heights only on a diagonal: vertices, but no triangle has three corners with heights.
  const GridState diagonal = FunctionGrid(5, 5, 0, 0, [](auto x, auto y) { return x == y ? 1.0 : 0.0; });
  EXPECT_THROW(ExportGlb(diagonal, {}, {.Interval = 1}), ExportError);
}

}  // namespace
}  // namespace terrak
