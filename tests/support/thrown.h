#pragma once

#include <functional>
#include <string>
#include <utility>

#include "platform/file_error.h"

namespace terrak::testing {

// What the E that body throws says, read by text (a member such as &FileError::Reason); none when
// body returns. Other exceptions pass through.
template <typename E, typename Body, typename Text>
std::string ThrownText(Body&& body, Text text, std::string none = "nothing thrown") {
  try {
    std::forward<Body>(body)();
  } catch (const E& error) {
    return std::string(std::invoke(text, error));
  }
  return none;
}

// The reason the FileError that body throws gives.
template <typename Body>
std::string FileErrorReason(Body&& body) {
  return ThrownText<FileError>(std::forward<Body>(body), &FileError::Reason);
}

}  // namespace terrak::testing
