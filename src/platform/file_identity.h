#pragma once
// Whether two names lead to one file: an output must never be one of the inputs it is made from,
// nor another output of the same run, whatever the names look like.
#include <string>

namespace terrak {

// True when a and b name the same file: for files that exist, the same file on the disk (through
// symbolic links, hard links, "./x" and "x"); for files not made yet, the same place once the
// links on the way are followed.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace terrak
