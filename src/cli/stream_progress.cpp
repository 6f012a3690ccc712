#include "cli/stream_progress.h"

#include <ostream>

namespace terrak::cli {

void StreamProgress::ShowProgress(const std::string& text) {
  if (backedUp_ && lineOpen_) {
    out_ << '\r' << text;
    // Blanks over what is left of a longer line.
    if (text.size() < lastLength_) out_ << std::string(lastLength_ - text.size(), ' ');
  } else {
    if (lineOpen_) out_ << '\n';
    out_ << text;
  }
  out_.flush();
  lineOpen_ = true;
  backedUp_ = false;
  lastLength_ = text.size();
}

void StreamProgress::Close() {
  if (lineOpen_) out_ << '\n';
  lineOpen_ = false;
  backedUp_ = false;
}

}  // namespace terrak::cli
