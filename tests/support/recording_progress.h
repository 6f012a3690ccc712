#pragma once
// A ProgressSink that keeps every line shown, in order, and the window's lines as they would
// stand at the end (a line written after BackUpOneLine replaces the one above).
#include <string>
#include <vector>

#include "grid/progress_sink.h"

namespace terrak::testing {

class RecordingProgress : public ProgressSink {
 public:
  std::vector<std::string> Shown;   // every ShowProgress text in order
  std::vector<std::string> Window;  // the lines as they stand
  int Opens = 0;
  int Closes = 0;
  bool IsOpen = false;

  void Open() override;
  void ShowProgress(const std::string& text) override;
  void BackUpOneLine() override;
  void Close() override;

  // Shown without the changing "column N" lines.
  std::vector<std::string> StageLines() const;

 private:
  std::size_t nextLine_ = 0;
};

// A sink that shows nothing, for benchmarks and fuzzing.
class SilentProgress : public ProgressSink {
 public:
  void Open() override {}
  void ShowProgress(const std::string&) override {}
  void BackUpOneLine() override {}
  void Close() override {}
};

}  // namespace terrak::testing
