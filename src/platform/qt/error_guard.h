#pragma once
// The one top-level handler of the windows: an operation that fails (a file error, a damaged
// file) ends, and its message is shown to the user; nothing crashes.
#include <exception>

#include "platform/user_dialogs.h"

namespace terrak {

template <typename Operation>
bool RunReportingErrors(UserDialogs& dialogs, Operation&& operation) {
  try {
    operation();
    return true;
  } catch (const std::exception& error) {
    dialogs.Message(error.what(), MessageType::Error, static_cast<unsigned>(DialogButton::Ok));
  }
  return false;
}

}  // namespace terrak
