#pragma once
// Why an export did not happen, in the program's own words, ready to be shown to the user.
// File errors of the writer stay FileError, which names the file and the system's reason.
#include <stdexcept>
#include <string>

namespace terrak {

inline constexpr const char* kNoGridMessage = "There is no terrain grid to export: build it first";
inline constexpr const char* kNoHeightsMessage = "The terrain grid holds no heights to export";
inline constexpr const char* kBadGeoreferencingMessage =
    "The map's georeferencing cannot place the terrain (its transform is degenerate)";

class ExportError : public std::runtime_error {
 public:
  explicit ExportError(const std::string& message) : std::runtime_error(message) {}
};

// The caller's progress callback asked to stop; nothing was written.
class ExportCancelled : public ExportError {
 public:
  ExportCancelled() : ExportError("The export was cancelled") {}
};

}  // namespace terrak
