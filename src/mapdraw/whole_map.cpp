#include "mapdraw/whole_map.h"

#include <chrono>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <system_error>

#include "mapfile/drawing_source.h"
#include "platform/file_error.h"
#include "platform/file_stream.h"

namespace terrak::mapdraw {

namespace {

// Size and modification time, or size -1 for a file that cannot be looked at.
void Mark(const std::string& name, std::int64_t& size, std::int64_t& modifiedNs) {
  std::error_code error;
  const auto bytes = std::filesystem::file_size(name, error);
  if (error) {
    size = -1;
    return;
  }
  const auto time = std::filesystem::last_write_time(name, error);
  size = static_cast<std::int64_t>(bytes);
  modifiedNs = error ? 0
                     : std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch())
                           .count();
}

}  // namespace

const MapPicture* WholeMapDrawing::For(const std::string& fileName,
                                       double finestPixelsPerMicrometre) {
  FileMark mark;
  mark.Name = fileName;
  Mark(fileName, mark.Size, mark.ModifiedNs);
  mark.Tolerance = ToleranceFor(finestPixelsPerMicrometre);
  // A drawing made finer than now needed serves as well.
  if (drawnFrom_ && drawnFrom_->Tolerance <= mark.Tolerance) {
    FileMark sameTolerance = mark;
    sameTolerance.Tolerance = drawnFrom_->Tolerance;
    if (sameTolerance == *drawnFrom_) return drawing_ ? &*drawing_ : nullptr;
  }
  drawing_.reset();
  problem_.clear();
  drawnFrom_ = mark;
  ++generation_;
  try {
    const DrawingSource source = ReadDrawingSource(ReadWholeFile(fileName), fileName);
    DrawOptions options;
    options.Tolerance = mark.Tolerance;
    drawing_ = DrawMap(source.Definitions, source.Objects, options);
  } catch (const MapFormatError& e) {
    problem_ = e.what();
  } catch (const FileError& e) {
    problem_ = e.what();
  } catch (const std::bad_alloc&) {
    problem_ = "there is too little memory to draw it";
  }
  return drawing_ ? &*drawing_ : nullptr;
}

void WholeMapDrawing::Forget() {
  drawnFrom_.reset();
  drawing_.reset();
  problem_.clear();
  ++generation_;
}

}  // namespace terrak::mapdraw
