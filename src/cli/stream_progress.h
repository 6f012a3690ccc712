#pragma once
// Progress lines of terrak-cli on a text stream (standard error): one line each; a line written
// after BackUpOneLine returns to the start of the line before and writes over it, as the
// progress window does with its column counter.
#include <iosfwd>
#include <string>

#include "grid/progress_sink.h"

namespace terrak::cli {

class StreamProgress : public ProgressSink {
 public:
  explicit StreamProgress(std::ostream& out) : out_(out) {}
  void Open() override {}
  void ShowProgress(const std::string& text) override;
  void BackUpOneLine() override { backedUp_ = true; }
  void Close() override;

 private:
  std::ostream& out_;
  bool lineOpen_ = false;
  bool backedUp_ = false;
  std::size_t lastLength_ = 0;
};

}  // namespace terrak::cli
