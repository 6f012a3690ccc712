#pragma once
// The one top-level handler of the windows: an operation that fails (a file error, a damaged
// file, too little memory) ends, and its message is shown to the user; nothing crashes.
#include <exception>
#include <new>
#include <string>
#include <stdexcept>

#include "platform/user_dialogs.h"

namespace terrak {

inline constexpr const char* kOutOfMemoryMessage =
    "There is not enough memory to finish this operation.";
inline constexpr const char* kUnexpectedErrorMessage = "An unexpected error ended this operation.";

template <typename Operation>
bool RunReportingErrors(UserDialogs& dialogs, Operation&& operation) {
  const char* message = nullptr;
  std::string text;
  try {
    operation();
    return true;
  } catch (const std::bad_alloc&) {
    message = kOutOfMemoryMessage;
  } catch (const std::length_error&) {  // a container asked for more than it can ever hold
    message = kOutOfMemoryMessage;
  } catch (const std::exception& error) {
    text = error.what();
  } catch (...) {
    message = kUnexpectedErrorMessage;
  }
  // Shown outside the handler, so the memory of a failed allocation is given back first.
  dialogs.Message(message != nullptr ? std::string(message) : text, MessageType::Error,
                  static_cast<unsigned>(DialogButton::Ok));
  return false;
}

}  // namespace terrak
