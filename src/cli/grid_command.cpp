#include <ostream>

#include "cli/commands.h"

namespace terrak::cli {

int GridCommand(const CommandArgs& /*args*/, std::ostream& /*out*/, std::ostream& err) {
  err << "terrak-cli: the grid command is not built yet\n";
  return 2;
}

}  // namespace terrak::cli
