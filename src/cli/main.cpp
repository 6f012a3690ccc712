// terrak-cli: the program's core without windows.
#include <string>
#include <vector>

#include "cli/cli.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return terrak::cli::Run(args);
}
