#pragma once
// What a command of terrak-cli works with: its two output streams and a scratch folder, made
// when first asked for and removed when the run ends.
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>

#include "cli/error_output.h"
#include "cli/scratch_folder.h"
#include "cli/scratch_registry.h"

namespace terrak::cli {

class RunContext {
 public:
  RunContext(std::ostream& out, ErrorOutput& err, std::string tempFolder,
             ScratchRegistry* registry)
      : Out(out), Err(err), tempFolder_(std::move(tempFolder)), registry_(registry) {}

  std::ostream& Out;
  ErrorOutput& Err;

  const ScratchFolder& Scratch() {
    if (!scratch_) scratch_.emplace(tempFolder_, registry_);
    return *scratch_;
  }

 private:
  std::string tempFolder_;
  ScratchRegistry* registry_;
  std::optional<ScratchFolder> scratch_;
};

}  // namespace terrak::cli
