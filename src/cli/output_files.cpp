#include "cli/output_files.h"

#include "grid/map_bitmap.h"
#include "mapfile/map_formats.h"
#include "platform/file_identity.h"
#include "platform/read_only_file.h"

namespace terrak::cli {

namespace {

struct Output {
  std::string Option;  // "--stl"
  std::string File;
};

// A file the command reads, and what it is to the user.
struct Input {
  std::string What;  // "the input map"
  std::string File;
};

struct Files {
  std::vector<Output> Outputs;
  std::vector<Input> Inputs;
  bool Force = false;
};

void AddOutput(Files& files, const char* option, const std::string& file) {
  if (!file.empty()) files.Outputs.push_back({option, file});
}

// A map and what is read with it: its image and the files it keeps beside it.
void AddMapInputs(Files& files, const std::string& map, bool map3dFile) {
  if (map3dFile) {
    files.Inputs.push_back({"the input 3D map file", map});
    return;
  }
  files.Inputs.push_back({"the input map", map});
  files.Inputs.push_back({"the input map's image", MapBitmapFileNameFor(map)});
  for (const std::string& side : SideFilesOf(map))
    files.Inputs.push_back({"the input map's heights file", side});
}

Files FilesOf(const CommandOptions& command) {
  Files files;
  if (const auto* grid = std::get_if<GridOptions>(&command)) {
    files.Force = grid->Force;
    AddOutput(files, "--xyz", grid->Xyz);
    AddOutput(files, "--matrix", grid->Matrix);
    AddOutput(files, "--o3d", grid->Map3d);
    AddMapInputs(files, grid->MapFile, false);
  } else if (const auto* render = std::get_if<RenderOptions>(&command)) {
    files.Force = render->Force;
    AddOutput(files, "--out", render->Out);
    AddMapInputs(files, render->Input, render->Map3dFile);
  } else if (const auto* exports = std::get_if<ExportOptions>(&command)) {
    files.Force = exports->Force;
    AddOutput(files, "--dem", exports->Dem);
    AddOutput(files, "--glb", exports->Glb);
    AddOutput(files, "--stl", exports->Stl);
    AddMapInputs(files, exports->Input, exports->Map3dFile);
  } else if (const auto* map = std::get_if<MapOptions>(&command)) {
    files.Force = map->Force;
    AddOutput(files, "--out", map->Out);
    files.Inputs.push_back({"the input map", map->MapFile});
  }
  return files;
}

}  // namespace

std::vector<std::string> OutputFiles(const CommandOptions& command) {
  std::vector<std::string> names;
  for (const Output& output : FilesOf(command).Outputs) names.push_back(output.File);
  return names;
}

std::optional<std::string> RefuseReadOnlyOutputs(const CommandOptions& command) {
  const Files files = FilesOf(command);
  if (files.Force) return std::nullopt;
  for (const Output& output : files.Outputs)
    if (IsReadOnlyFile(output.File))
      return "terrak-cli: " + output.File + " is read-only; give --force to replace it";
  return std::nullopt;
}

std::optional<std::string> RefuseClashingOutputs(const CommandOptions& command) {
  const Files files = FilesOf(command);
  for (std::size_t i = 0; i < files.Outputs.size(); ++i) {
    const Output& output = files.Outputs[i];
    for (const Input& input : files.Inputs)
      if (SameFile(output.File, input.File))
        return "terrak-cli: " + output.Option + " " + output.File + " would overwrite " +
               input.What + " " + input.File + "; give another file name";
    for (std::size_t j = 0; j < i; ++j)
      if (SameFile(output.File, files.Outputs[j].File))
        return "terrak-cli: " + files.Outputs[j].Option + " " + files.Outputs[j].File + " and " +
               output.Option + " " + output.File + " are the same file; give each output a name "
               "of its own";
  }
  return std::nullopt;
}

}  // namespace terrak::cli
