#pragma once
// A map file whose bytes do not form an OCAD map of a version the program reads.
#include <stdexcept>
#include <string>

namespace terrak {

inline constexpr const char* kNotOcadMessage = "File is not the correct OCAD format";
inline constexpr const char* kMissingMapMessage = "OCAD file does not exist";

class OcadFormatError : public std::runtime_error {
 public:
  // detail says what was wrong, for the command-line tool and the fuzz tests; what() is always
  // the message the user sees.
  explicit OcadFormatError(std::string detail)
      : std::runtime_error(kNotOcadMessage), detail_(std::move(detail)) {}
  const std::string& Detail() const { return detail_; }

 private:
  std::string detail_;
};

}  // namespace terrak
