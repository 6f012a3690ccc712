#pragma once
// Questions and messages to the user, and the other small services of the desktop that the core
// needs. The program shows real dialogs; tests answer from a script and record what was asked.
#include <optional>
#include <string>

#include "common/colour.h"

namespace terrak {

enum class MessageType { Plain, Information, Warning, Confirmation, Error };

enum class DialogButton : unsigned { None = 0, Ok = 1, Cancel = 2, Yes = 4, No = 8 };

constexpr unsigned operator|(DialogButton a, DialogButton b) {
  return static_cast<unsigned>(a) | static_cast<unsigned>(b);
}
constexpr unsigned operator|(unsigned a, DialogButton b) { return a | static_cast<unsigned>(b); }

struct FileDialogOptions {
  std::string Caption;
  std::string Filter;            // e.g. "*.ocd|*.ocd": pairs of description and pattern
  std::string DefaultExtension;  // added when the chosen name has none; may be empty
  std::string InitialFolder;
  std::string ProposedName;
  bool AskBeforeOverwrite = false;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // Shows text with the given buttons (a set of DialogButton values); returns the one pressed.
  virtual DialogButton Message(const std::string& text, MessageType type, unsigned buttons) = 0;
  // A one-line input box; Cancel returns defaultText.
  virtual std::string Input(const std::string& caption, const std::string& prompt,
                            const std::string& defaultText) = 0;
  // File choice; nothing when the user cancels.
  virtual std::optional<std::string> OpenFileName(const FileDialogOptions& options) = 0;
  virtual std::optional<std::string> SaveFileName(const FileDialogOptions& options) = 0;
  // Colour choice starting with initial; nothing when the user cancels.
  virtual std::optional<Colour> ChooseColour(Colour initial) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void Beep() = 0;
};

// Shows the busy cursor for the lifetime of the object, so every way out restores the normal one.
class BusyCursor {
 public:
  explicit BusyCursor(UserDialogs& dialogs) : dialogs_(dialogs) { dialogs_.SetBusyCursor(true); }
  ~BusyCursor() { dialogs_.SetBusyCursor(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  UserDialogs& dialogs_;
};

}  // namespace terrak
