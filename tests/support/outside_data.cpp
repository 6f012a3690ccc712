#include "support/outside_data.h"

namespace terrak::testing {

std::string OutsideDataFile(const std::string& name) {
  return std::string(TERRAK_SOURCE_DIR) + "/../shared/testdata/" + name;
}

std::string OutsideDataMissing(const std::string& path) {
  return "skipped: " + path +
         " is missing; this test reads real maps from outside the project, which lie in "
         "shared/testdata beside the checkout (put the folder there to run it)";
}

}  // namespace terrak::testing
