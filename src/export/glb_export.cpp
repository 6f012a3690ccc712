#include "export/glb_export.h"

#include <tiny_gltf.h>

#include <cstring>
#include <limits>
#include <ostream>
#include <streambuf>

#include "export/export_error.h"
#include "export/palette_png.h"
#include "export/terrain_mesh.h"

namespace terrak {
namespace {

// Lets tinygltf write straight into the result's bytes.
class ByteSink : public std::streambuf {
 public:
  explicit ByteSink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    bytes_.insert(bytes_.end(), s, s + n);
    return n;
  }
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) bytes_.push_back(static_cast<std::uint8_t>(c));
    return c;
  }

 private:
  std::vector<std::uint8_t>& bytes_;
};

// Appends data to the buffer at a four-byte boundary and gives it a buffer view.
template <typename T>
int AddView(tinygltf::Model& model, const std::vector<T>& data, int target) {
  std::vector<unsigned char>& buffer = model.buffers[0].data;
  buffer.resize((buffer.size() + 3) / 4 * 4, 0);
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = buffer.size();
  view.byteLength = data.size() * sizeof(T);
  view.target = target;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  buffer.insert(buffer.end(), bytes, bytes + view.byteLength);
  model.bufferViews.push_back(std::move(view));
  return static_cast<int>(model.bufferViews.size() - 1);
}

int AddAccessor(tinygltf::Model& model, int view, std::size_t count, int componentType, int type) {
  tinygltf::Accessor accessor;
  accessor.bufferView = view;
  accessor.componentType = componentType;
  accessor.count = count;
  accessor.type = type;
  model.accessors.push_back(std::move(accessor));
  return static_cast<int>(model.accessors.size() - 1);
}

tinygltf::Value OriginExtras(const TerrainMesh& mesh, const Georeferencing& georef) {
  tinygltf::Value::Object extras;
  extras["groundOrigin"] = tinygltf::Value(tinygltf::Value::Array{
      tinygltf::Value(mesh.OriginX), tinygltf::Value(mesh.OriginY),
      tinygltf::Value(mesh.OriginHeight)});
  if (georef.Known) {
    const Georeferencing::Point p = georef.ToProjected(mesh.OriginX, mesh.OriginY);
    extras["projectedOrigin"] = tinygltf::Value(
        tinygltf::Value::Array{tinygltf::Value(p.Easting), tinygltf::Value(p.Northing)});
    if (georef.EpsgCode > 0) extras["epsg"] = tinygltf::Value(georef.EpsgCode);
  }
  return tinygltf::Value(std::move(extras));
}

}  // namespace

ExportedFiles ExportGlb(const GridState& grid, const Georeferencing& georef,
                        const GlbOptions& options, const ExportProgressCallback& callback) {
  ExportProgress progress(callback);
  progress.BeginStage(0.5);
  const TerrainMesh mesh = MakeTerrainMesh(grid, options.Interval, options.Exaggeration, progress);
  const bool textured = options.Texture && grid.MapBitmapLoaded &&
                        grid.BitmapGrid.Columns() == grid.HeightGrid.Columns() &&
                        grid.BitmapGrid.Rows() == grid.HeightGrid.Rows();
  progress.BeginStage(0.3);
  const std::vector<std::uint8_t> png =
      textured ? BitmapAsPng(grid.BitmapGrid, grid.BitmapPalette, options.MaxTextureSide)
               : std::vector<std::uint8_t>{};
  const std::size_t total = (mesh.Positions.size() + mesh.Normals.size() + mesh.TexCoords.size() +
                             mesh.Indices.size()) * 4 + png.size();
  if (total > std::numeric_limits<std::uint32_t>::max() - (std::size_t{1} << 20))
    throw ExportError(
        "The model would exceed the 4 GB a glTF binary file can hold: choose a larger grid "
        "interval");

  progress.BeginStage(0.15);
  tinygltf::Model model;
  model.asset.version = "2.0";
  model.asset.generator = "Terrak";
  model.buffers.resize(1);
  model.buffers[0].data.reserve(total + 16);
  const std::size_t vertices = mesh.Positions.size() / 3;
  tinygltf::Primitive primitive;
  primitive.mode = TINYGLTF_MODE_TRIANGLES;
  const int position = AddAccessor(model, AddView(model, mesh.Positions, TINYGLTF_TARGET_ARRAY_BUFFER),
                                   vertices, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3);
  model.accessors[position].minValues = {mesh.Min[0], mesh.Min[1], mesh.Min[2]};
  model.accessors[position].maxValues = {mesh.Max[0], mesh.Max[1], mesh.Max[2]};
  primitive.attributes["POSITION"] = position;
  primitive.attributes["NORMAL"] =
      AddAccessor(model, AddView(model, mesh.Normals, TINYGLTF_TARGET_ARRAY_BUFFER), vertices,
                  TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3);
  primitive.indices =
      AddAccessor(model, AddView(model, mesh.Indices, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER),
                  mesh.Indices.size(), TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR);

  tinygltf::Material material;
  material.name = "terrain";
  material.pbrMetallicRoughness.metallicFactor = 0.0;
  material.pbrMetallicRoughness.roughnessFactor = 1.0;
  material.doubleSided = true;  // the terrain has no underside of its own
  ExportedFiles result;
  if (textured) {
    primitive.attributes["TEXCOORD_0"] =
        AddAccessor(model, AddView(model, mesh.TexCoords, TINYGLTF_TARGET_ARRAY_BUFFER), vertices,
                    TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC2);
    tinygltf::Image image;
    image.name = "map";
    image.mimeType = "image/png";
    image.bufferView = AddView(model, png, 0);
    model.bufferViews[image.bufferView].target = 0;
    model.images.push_back(std::move(image));
    tinygltf::Sampler sampler;
    sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
    sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
    sampler.wrapS = sampler.wrapT = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;
    model.samplers.push_back(sampler);
    tinygltf::Texture texture;
    texture.source = 0;
    texture.sampler = 0;
    model.textures.push_back(texture);
    material.pbrMetallicRoughness.baseColorTexture.index = 0;
  } else {
    material.pbrMetallicRoughness.baseColorFactor = {0.55, 0.62, 0.42, 1.0};  // a meadow green
    if (options.Texture && grid.MapBitmapLoaded)
      result.Notes.push_back("The map bitmap does not match the grid: the model has no texture");
  }
  model.materials.push_back(std::move(material));
  primitive.material = 0;
  tinygltf::Mesh gltfMesh;
  gltfMesh.name = "terrain";
  gltfMesh.primitives.push_back(std::move(primitive));
  model.meshes.push_back(std::move(gltfMesh));
  tinygltf::Node node;
  node.name = "terrain";
  node.mesh = 0;
  node.extras = OriginExtras(mesh, georef);
  model.nodes.push_back(std::move(node));
  tinygltf::Scene scene;
  scene.nodes = {0};
  model.scenes.push_back(scene);
  model.defaultScene = 0;
  model.buffers[0].data.resize((model.buffers[0].data.size() + 3) / 4 * 4, 0);

  progress.BeginStage(0.05);
  ExportedFile file{".glb", {}};
  file.Bytes.reserve(model.buffers[0].data.size() + 4096);
  ByteSink sink(file.Bytes);
  std::ostream out(&sink);
  tinygltf::TinyGLTF writer;
  if (!writer.WriteGltfSceneToStream(&model, out, false, true))
    throw ExportError("The glTF model could not be made");
  result.Files.push_back(std::move(file));
  progress.Finish();
  return result;
}

std::vector<std::string> WriteGlbFile(const std::string& target, const GridState& grid,
                                      const Georeferencing& georef, const GlbOptions& options,
                                      const ExportProgressCallback& progress) {
  const ExportedFiles files = ExportGlb(grid, georef, options, progress);
  WriteExportedFiles(target, files);
  return files.Notes;
}

}  // namespace terrak
