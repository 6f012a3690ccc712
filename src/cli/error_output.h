#pragma once
// Standard error of one terrak-cli run: the grid construction's progress lines and the
// program's messages and warnings. A message always starts on a line of its own, never at the
// end of a progress line.
//
// On a terminal a progress line is written at once and ended by the next one, so a counter
// that backs up ("column N") can write over itself. Anywhere else (a pipe, a log file) only
// lines that stay are written, one per stage, each ended by a line feed: a line is held until
// the next report shows that it is not a counter about to be written over.
#include <iosfwd>
#include <optional>
#include <string>

namespace terrak::cli {

class ErrorOutput {
 public:
  ErrorOutput(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
  ErrorOutput(const ErrorOutput&) = delete;
  ErrorOutput& operator=(const ErrorOutput&) = delete;

  // One progress line below the last, or over it after BackUp.
  void Progress(const std::string& text);
  // The next progress line takes the place of the last one.
  void BackUp();
  // Ends the last progress line, as at the end of a construction.
  void EndProgress();
  // A message or warning on a line of its own.
  void Line(const std::string& text);

 private:
  std::ostream& err_;
  const bool terminal_;
  bool backedUp_ = false;
  // On a terminal: a progress line is on the screen without its line end yet.
  bool lineOpen_ = false;
  std::size_t lastLength_ = 0;
  // Elsewhere: the last progress line, not yet written.
  std::optional<std::string> held_;
};

}  // namespace terrak::cli
