#pragma once
// Output files marked read-only: the program replaces one only when told to (terrak-cli's
// --force) or when the user says so.
#include <string>

#include "platform/user_dialogs.h"

namespace terrak {

// Whether fileName names an existing file marked read-only: one the running user may not
// write, or one that nobody has write permission for (the administrator may write anything,
// but such a file was plainly meant to stay). A missing file is not read-only.
bool IsReadOnlyFile(const std::string& fileName);

// The question asked before a read-only file is replaced.
std::string ReplaceReadOnlyQuestion(const std::string& fileName);

// Whether fileName may be written: it is not read-only, or the user answers the warning's
// question with Yes.
bool MayReplaceFile(UserDialogs& dialogs, const std::string& fileName);

}  // namespace terrak
