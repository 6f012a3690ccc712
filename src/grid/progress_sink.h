#pragma once
// Where the grid construction reports its stages: the progress window in the program, standard
// error in terrak-cli, a recorder in tests.
#include <string>

namespace terrak {

class ProgressSink {
 public:
  virtual ~ProgressSink() = default;

  // Shows the report with no lines yet; Close takes it away again.
  virtual void Open() = 0;
  // Writes one line below the previous one.
  virtual void ShowProgress(const std::string& text) = 0;
  // Moves back up one line, so the next line is written over the last one (the column counter).
  virtual void BackUpOneLine() = 0;
  virtual void Close() = 0;
};

// Closes the sink however the construction ends, so no progress window outlives it.
class ProgressScope {
 public:
  explicit ProgressScope(ProgressSink& sink) : sink_(sink) { sink_.Open(); }
  ~ProgressScope() { sink_.Close(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  ProgressSink& sink_;
};

}  // namespace terrak
