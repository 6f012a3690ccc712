#include "support/recording_progress.h"

namespace terrak::testing {

void RecordingProgress::Open() {
  ++Opens;
  IsOpen = true;
  Window.clear();
  nextLine_ = 0;
}

void RecordingProgress::ShowProgress(const std::string& text) {
  Shown.push_back(text);
  if (nextLine_ < Window.size())
    Window[nextLine_] = text;
  else
    Window.push_back(text);
  ++nextLine_;
}

void RecordingProgress::BackUpOneLine() {
  if (nextLine_ > 0) --nextLine_;
}

void RecordingProgress::Close() {
  ++Closes;
  IsOpen = false;
}

std::vector<std::string> RecordingProgress::StageLines() const {
  std::vector<std::string> lines;
  for (const std::string& line : Shown)
    if (line.rfind("column ", 0) != 0) lines.push_back(line);
  return lines;
}

}  // namespace terrak::testing
