// terrak-cli's standard error: progress lines that write over themselves only on a terminal,
// one line per stage anywhere else, and messages always on a line of their own.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/error_output.h"

namespace terrak {
namespace {

// The reports of a construction's interpolation stage: a counter that backs up after each
// column, then the next stage writing over the last count, then a message.
std::string Report(bool terminal) {
  std::ostringstream stream;
  cli::ErrorOutput err(stream, terminal);
  err.Progress("Interpolating Heights...");
  err.Progress("working through map...");
  for (const char* count : {"column 9", "column 10", "column 11"}) {
    err.Progress(count);
    err.BackUp();
  }
  err.Progress("Removing Excess...");
  err.Progress("overall map is 12 metres high");
  err.Line("The selected objects are less than one metre wide");
  err.Progress("Closing Dialogue Box");
  err.EndProgress();
  err.Line("terrak-cli: warning: points beyond the grid: 3");
  return stream.str();
}

TEST(ErrorOutput, CountersWriteOverThemselvesOnlyOnATerminal) {
  EXPECT_EQ(Report(true),
            "Interpolating Heights...\nworking through map...\ncolumn 9\rcolumn 10\rcolumn 11"
            "\rRemoving Excess...\n"  // blanks over the rest of a longer count: none here
            "overall map is 12 metres high\n"
            "The selected objects are less than one metre wide\n"
            "Closing Dialogue Box\n"
            "terrak-cli: warning: points beyond the grid: 3\n");
  EXPECT_EQ(Report(false),
            "Interpolating Heights...\nworking through map...\nRemoving Excess...\n"
            "overall map is 12 metres high\n"
            "The selected objects are less than one metre wide\n"
            "Closing Dialogue Box\n"
            "terrak-cli: warning: points beyond the grid: 3\n");
}

TEST(ErrorOutput, AShorterLineWritingOverALongerOneBlanksTheRest) {
  std::ostringstream stream;
  cli::ErrorOutput err(stream, true);
  err.Progress("column 100");
  err.BackUp();
  err.Progress("done");
  err.BackUp();
  err.Progress("column 7");
  err.EndProgress();
  err.EndProgress();  // a second end adds nothing
  EXPECT_EQ(stream.str(), "column 100\rdone      \rcolumn 7\n");
}

TEST(ErrorOutput, NothingIsHeldOrLeftOpenAfterTheEnd) {
  for (const bool terminal : {true, false}) {
    std::ostringstream stream;
    cli::ErrorOutput err(stream, terminal);
    err.Progress("Matrix Completed");
    err.EndProgress();
    EXPECT_EQ(stream.str(), "Matrix Completed\n") << terminal;
    err.Line("message");
    EXPECT_EQ(stream.str(), "Matrix Completed\nmessage\n") << terminal;
    // A line backed up at the very end is a counter that nothing replaced: not a stage.
    err.Progress("column 1");
    err.BackUp();
    err.EndProgress();
    EXPECT_EQ(stream.str(), terminal ? "Matrix Completed\nmessage\ncolumn 1\n"
                                     : "Matrix Completed\nmessage\n")
        << terminal;
  }
}

}  // namespace
}  // namespace terrak
