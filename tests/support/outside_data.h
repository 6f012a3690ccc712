#pragma once
// Real maps that nobody on the project made live beside the checkout, in ../shared/testdata
// (licences in its README). A clone on its own has none of them: a test that needs one is
// skipped with a message that says where the file is looked for and how to get it.
#include <filesystem>
#include <string>

namespace terrak::testing {

// Where the outside test file of that name is looked for.
std::string OutsideDataFile(const std::string& name);

// The real Mapper map of the outside test data.
inline std::string RealMapperMap() { return OutsideDataFile("domaine-mas-nau.omap"); }

// The skip message for a missing outside file.
std::string OutsideDataMissing(const std::string& path);

}  // namespace terrak::testing

// Skips the running test (from its body or its fixture's SetUp) when the file is missing; for
// files that include GoogleTest.
#define TERRAK_SKIP_WITHOUT_FILE(path)                 \
  if (!std::filesystem::is_regular_file(path))         \
  GTEST_SKIP() << ::terrak::testing::OutsideDataMissing(path)
