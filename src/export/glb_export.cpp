#include "export/glb_export.h"

#include <tiny_gltf.h>

#include <limits>
#include <sstream>

#include "export/byte_sink.h"
#include "export/export_error.h"
#include "export/gdal_module.h"
#include "export/ground_frame.h"
#include "export/palette_png.h"
#include "export/terrain_mesh.h"

namespace terrak {
namespace {

// tinygltf describes the model; the binary chunk is written past it, a column at a time. The
// buffer goes to tinygltf empty under this name, and its length is put in afterwards.
constexpr const char* kStreamedBuffer = "terrak-streamed-buffer";
constexpr std::uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
constexpr std::uint32_t kBinChunk = 0x004E4942;   // "BIN\0"

constexpr std::uint64_t kDescriptionReserve = std::uint64_t{1} << 20;

std::uint64_t Padded(std::uint64_t size) { return (size + 3) / 4 * 4; }

void PutU32(ByteSink& sink, std::uint32_t v) {
  const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                 static_cast<std::uint8_t>(v >> 16),
                                 static_cast<std::uint8_t>(v >> 24)};
  sink.Write(bytes, sizeof bytes);
}

// Where each part lies in the binary chunk, in this order.
struct BinLayout {
  std::uint64_t Positions = 0, Normals = 0, TexCoords = 0, Indices = 0, Image = 0, End = 0;
};

BinLayout LayoutOf(const TerrainMesh& mesh, bool textured, std::size_t pngSize) {
  const std::uint64_t vertices = mesh.Vertices();
  BinLayout l;
  l.Normals = l.Positions + vertices * 12;
  l.TexCoords = l.Normals + vertices * 12;
  l.Indices = l.TexCoords + (textured ? vertices * 8 : 0);
  l.Image = l.Indices + mesh.Triangles() * 12;
  l.End = Padded(l.Image + pngSize);
  return l;
}

// A glTF binary holds at most 4 GB; a little is kept for the description before it is made.
void CheckFileSize(std::uint64_t bytes) {
  if (bytes > std::numeric_limits<std::uint32_t>::max())
    throw ExportError(
        "The model would exceed the 4 GB a glTF binary file can hold: choose a larger grid "
        "interval");
}

int AddView(tinygltf::Model& model, std::uint64_t offset, std::uint64_t length, int target) {
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = offset;
  view.byteLength = length;
  view.target = target;
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

// Where the model lies: the origin in the map's ground metres and its height; for a
// georeferenced map also its projected position, the coordinate system, the turn of the model's
// x axis counter-clockwise from the system's east and the scale factor already applied to it.
tinygltf::Value PlacementExtras(const TerrainMesh& mesh, const Georeferencing& georef,
                                const GroundFrame& frame) {
  tinygltf::Value::Object extras;
  extras["groundOrigin"] = tinygltf::Value(tinygltf::Value::Array{
      tinygltf::Value(mesh.OriginX()), tinygltf::Value(mesh.OriginY()),
      tinygltf::Value(mesh.OriginHeight())});
  if (georef.Known) {
    const Georeferencing::Point p = georef.ToProjected(mesh.OriginX(), mesh.OriginY());
    extras["projectedOrigin"] = tinygltf::Value(
        tinygltf::Value::Array{tinygltf::Value(p.Easting), tinygltf::Value(p.Northing)});
    if (georef.EpsgCode > 0) extras["epsg"] = tinygltf::Value(georef.EpsgCode);
    extras["rotationDegrees"] = tinygltf::Value(frame.RotationDegrees);
    extras["scaleFactor"] = tinygltf::Value(frame.MetresPerCell);
  }
  return tinygltf::Value(std::move(extras));
}

// The model's description as tinygltf writes it, with the binary chunk's length in place.
std::string DescriptionOf(const tinygltf::Model& model, std::uint64_t binLength) {
  std::ostringstream glb;
  tinygltf::TinyGLTF writer;
  if (!writer.WriteGltfSceneToStream(&model, glb, false, true))
    throw ExportError("The glTF model could not be made");
  const std::string bytes = glb.str();
  if (bytes.size() < 20) throw ExportError("The glTF model could not be made");
  std::uint32_t length = 0;  // of the JSON chunk, after the 12 bytes of the header
  for (std::size_t k = 0; k < 4; ++k)
    length |= std::uint32_t{static_cast<std::uint8_t>(bytes[12 + k])} << (8 * k);
  std::string json = bytes.substr(20, length);
  json.erase(json.find_last_not_of(' ') + 1);
  const std::string empty = std::string("{\"byteLength\":0,\"name\":\"") + kStreamedBuffer + "\"}";
  const std::size_t at = json.find(empty);
  if (at == std::string::npos) throw ExportError("The glTF model could not be made");
  json.replace(at, empty.size(), "{\"byteLength\":" + std::to_string(binLength) + "}");
  return json;
}

// The whole model but its binary data, ready before the file is opened; Write then streams it.
class GlbModel {
 public:
  GlbModel(const GridState& grid, const Georeferencing& georef, const GlbOptions& options,
           ExportProgress& progress)
      : frame_(GroundFrameOf(georef)),
        mesh_(grid, options.Interval, options.Exaggeration, frame_.MetresPerCell) {
    textured_ = options.Texture && grid.MapBitmapLoaded &&
                grid.BitmapGrid.Columns() == grid.HeightGrid.Columns() &&
                grid.BitmapGrid.Rows() == grid.HeightGrid.Rows();
    if (!textured_ && options.Texture && grid.MapBitmapLoaded)
      notes_.push_back("The map bitmap does not match the grid: the model has no texture");
    CheckFileSize(LayoutOf(mesh_, textured_, 0).End + kDescriptionReserve);
    progress.BeginStage(0.15);
    if (textured_) png_ = BitmapAsPng(grid.BitmapGrid, grid.BitmapPalette, options.MaxTextureSide);
    layout_ = LayoutOf(mesh_, textured_, png_.size());
    json_ = DescriptionOf(Describe(georef), layout_.End);
    json_.resize(Padded(json_.size()), ' ');
    CheckFileSize(Size());
  }

  // The whole file's size.
  std::uint64_t Size() const { return 12 + 8 + json_.size() + 8 + layout_.End; }

  void Write(ByteSink& sink, ExportProgress& progress) const {
    sink.Write("glTF", 4);
    PutU32(sink, 2);
    PutU32(sink, static_cast<std::uint32_t>(Size()));
    PutU32(sink, static_cast<std::uint32_t>(json_.size()));
    PutU32(sink, kJsonChunk);
    sink.Write(json_.data(), json_.size());
    PutU32(sink, static_cast<std::uint32_t>(layout_.End));
    PutU32(sink, kBinChunk);
    const auto floats = [&sink](const std::vector<float>& column) {
      sink.Write(column.data(), column.size() * sizeof(float));
    };
    progress.BeginStage(0.2);
    mesh_.Positions(floats, progress);
    progress.BeginStage(0.25);
    mesh_.Normals(floats, progress);
    progress.BeginStage(0.1);
    if (textured_) mesh_.TexCoords(floats, progress);
    progress.BeginStage(0.2);
    mesh_.Indices([&sink](const std::vector<std::uint32_t>& column) {
      sink.Write(column.data(), column.size() * sizeof(std::uint32_t));
    }, progress);
    progress.BeginStage(0.05);
    sink.Write(png_.data(), png_.size());
    const std::uint8_t zeros[4] = {};
    sink.Write(zeros, layout_.End - layout_.Image - png_.size());
  }

  const std::vector<std::string>& Notes() const { return notes_; }

 private:
  tinygltf::Model Describe(const Georeferencing& georef) const {
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "Terrak";
    model.buffers.resize(1);
    model.buffers[0].name = kStreamedBuffer;
    const std::size_t vertices = mesh_.Vertices();
    tinygltf::Primitive primitive;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    const int position = AddAccessor(
        model, AddView(model, layout_.Positions, vertices * 12, TINYGLTF_TARGET_ARRAY_BUFFER),
        vertices, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3);
    model.accessors[position].minValues = {mesh_.Min()[0], mesh_.Min()[1], mesh_.Min()[2]};
    model.accessors[position].maxValues = {mesh_.Max()[0], mesh_.Max()[1], mesh_.Max()[2]};
    primitive.attributes["POSITION"] = position;
    primitive.attributes["NORMAL"] = AddAccessor(
        model, AddView(model, layout_.Normals, vertices * 12, TINYGLTF_TARGET_ARRAY_BUFFER),
        vertices, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3);
    primitive.indices = AddAccessor(
        model,
        AddView(model, layout_.Indices, layout_.Image - layout_.Indices,
                TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER),
        static_cast<std::size_t>(mesh_.Triangles() * 3), TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
        TINYGLTF_TYPE_SCALAR);

    tinygltf::Material material;
    material.name = "terrain";
    material.pbrMetallicRoughness.metallicFactor = 0.0;
    material.pbrMetallicRoughness.roughnessFactor = 1.0;
    material.doubleSided = true;  // the terrain has no underside of its own
    if (textured_) {
      primitive.attributes["TEXCOORD_0"] = AddAccessor(
          model, AddView(model, layout_.TexCoords, vertices * 8, TINYGLTF_TARGET_ARRAY_BUFFER),
          vertices, TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC2);
      tinygltf::Image image;
      image.name = "map";
      image.mimeType = "image/png";
      image.bufferView = AddView(model, layout_.Image, png_.size(), 0);
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
    node.extras = PlacementExtras(mesh_, georef, frame_);
    model.nodes.push_back(std::move(node));
    tinygltf::Scene scene;
    scene.nodes = {0};
    model.scenes.push_back(scene);
    model.defaultScene = 0;
    return model;
  }

  GroundFrame frame_;
  TerrainMesh mesh_;
  bool textured_ = false;
  std::vector<std::uint8_t> png_;
  BinLayout layout_;
  std::string json_;
  std::vector<std::string> notes_;
};

}  // namespace

void CheckGlbExport(const GridState& grid, const Georeferencing& georef,
                    const GlbOptions& options) {
  const TerrainMesh mesh(grid, options.Interval, options.Exaggeration,
                         GroundFrameOf(georef).MetresPerCell);
  const bool textured = options.Texture && grid.MapBitmapLoaded;
  CheckFileSize(LayoutOf(mesh, textured, 0).End + kDescriptionReserve);
  if (textured) ProgramGdalExports();  // the texture's PNG needs the GDAL module

}

ExportedFiles ExportGlb(const GridState& grid, const Georeferencing& georef,
                        const GlbOptions& options, const ExportProgressCallback& callback) {
  ExportProgress progress(callback);
  progress.BeginStage(0.05);
  const GlbModel model(grid, georef, options, progress);
  ExportedFiles result;
  result.Files.push_back({".glb", {}});
  result.Files.front().Bytes.reserve(static_cast<std::size_t>(model.Size()));
  MemorySink sink(result.Files.front().Bytes);
  model.Write(sink, progress);
  result.Notes = model.Notes();
  progress.Finish();
  return result;
}

std::vector<std::string> WriteGlbFile(const std::string& target, const GridState& grid,
                                      const Georeferencing& georef, const GlbOptions& options,
                                      const ExportProgressCallback& callback) {
  ExportProgress progress(callback);
  progress.BeginStage(0.05);
  const GlbModel model(grid, georef, options, progress);
  SafeFileSink sink(target);
  model.Write(sink, progress);
  progress.Finish();  // the last chance to cancel: until Commit the target stays as it was
  sink.Commit();
  return model.Notes();
}

}  // namespace terrak
