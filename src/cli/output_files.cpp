#include "cli/output_files.h"

#include "platform/read_only_file.h"

namespace terrak::cli {

namespace {

struct Outputs {
  std::vector<std::string> Files;
  bool Force = false;
};

Outputs OutputsOf(const CommandOptions& command) {
  if (const auto* grid = std::get_if<GridOptions>(&command)) {
    Outputs outputs{{}, grid->Force};
    for (const std::string* file : {&grid->Xyz, &grid->Matrix, &grid->Map3d})
      if (!file->empty()) outputs.Files.push_back(*file);
    return outputs;
  }
  if (const auto* render = std::get_if<RenderOptions>(&command))
    return {{render->Out}, render->Force};
  if (const auto* map = std::get_if<MapOptions>(&command)) return {{map->Out}, map->Force};
  if (const auto* exports = std::get_if<ExportOptions>(&command)) {
    Outputs outputs{{}, exports->Force};
    for (const std::string* file : {&exports->Dem, &exports->Glb, &exports->Stl})
      if (!file->empty()) outputs.Files.push_back(*file);
    return outputs;
  }
  return {};
}

}  // namespace

std::vector<std::string> OutputFiles(const CommandOptions& command) {
  return OutputsOf(command).Files;
}

std::optional<std::string> RefuseReadOnlyOutputs(const CommandOptions& command) {
  const Outputs outputs = OutputsOf(command);
  if (outputs.Force) return std::nullopt;
  for (const std::string& file : outputs.Files)
    if (IsReadOnlyFile(file))
      return "terrak-cli: " + file + " is read-only; give --force to replace it";
  return std::nullopt;
}

}  // namespace terrak::cli
