#include "cli/error_output.h"

#include <ostream>

namespace terrak::cli {

void ErrorOutput::Progress(const std::string& text) {
  if (!terminal_) {
    EndProgress();
    held_ = text;
    return;
  }
  if (backedUp_ && lineOpen_) {
    err_ << '\r' << text;
    // Blanks over what is left of a longer line.
    if (text.size() < lastLength_) err_ << std::string(lastLength_ - text.size(), ' ');
  } else {
    if (lineOpen_) err_ << '\n';
    err_ << text;
  }
  err_.flush();
  lineOpen_ = true;
  backedUp_ = false;
  lastLength_ = text.size();
}

void ErrorOutput::BackUp() {
  if (terminal_)
    backedUp_ = true;
  else
    held_.reset();  // a counter's line: the next one takes its place
}

void ErrorOutput::EndProgress() {
  if (held_) {
    err_ << *held_ << '\n';
    held_.reset();
  }
  if (lineOpen_) err_ << '\n';
  lineOpen_ = false;
  backedUp_ = false;
  err_.flush();
}

void ErrorOutput::Line(const std::string& text) {
  EndProgress();
  err_ << text << '\n';
  err_.flush();
}

}  // namespace terrak::cli
