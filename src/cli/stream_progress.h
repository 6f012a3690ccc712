#pragma once
// The grid construction's progress report on terrak-cli's standard error.
#include <string>

#include "cli/error_output.h"
#include "grid/progress_sink.h"

namespace terrak::cli {

class StreamProgress : public ProgressSink {
 public:
  explicit StreamProgress(ErrorOutput& err) : err_(err) {}
  void Open() override {}
  void ShowProgress(const std::string& text) override {
    // The progress window's last line tells of the window closing; a terminal has none.
    if (text != "Closing Dialogue Box") err_.Progress(text);
  }
  void BackUpOneLine() override { err_.BackUp(); }
  void Close() override { err_.EndProgress(); }

 private:
  ErrorOutput& err_;
};

}  // namespace terrak::cli
