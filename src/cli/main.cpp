// terrak-cli: the program's core without windows.
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/scratch_registry.h"
#include "cli/signal_cleanup.h"

int main(int argc, char** argv) {
  terrak::cli::ScratchRegistry scratch;
  const terrak::cli::SignalCleanup cleanup(scratch);
  const char* tmp = std::getenv("TMPDIR");
  const std::vector<std::string> args(argv + 1, argv + argc);
  return terrak::cli::Run(args, {std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1,
                                 tmp != nullptr && *tmp != '\0' ? tmp : "/tmp", &scratch});
}
