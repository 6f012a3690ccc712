#include "cli/cli_dialogs.h"

namespace terrak::cli {

DialogButton CliDialogs::Message(const std::string& text, MessageType, unsigned buttons) {
  ++messages_;
  err_.Line(text);
  if (buttons & static_cast<unsigned>(DialogButton::Ok)) return DialogButton::Ok;
  if (buttons & static_cast<unsigned>(DialogButton::Yes)) return DialogButton::Yes;
  return DialogButton::Cancel;
}

std::string CliDialogs::Input(const std::string&, const std::string&,
                              const std::string& defaultText) {
  return defaultText;
}

std::optional<std::string> CliDialogs::OpenFileName(const FileDialogOptions&) {
  return std::nullopt;
}

std::optional<std::string> CliDialogs::SaveFileName(const FileDialogOptions&) {
  return std::nullopt;
}

std::optional<Colour> CliDialogs::ChooseColour(Colour) { return std::nullopt; }

}  // namespace terrak::cli
