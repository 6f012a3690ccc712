#include "support/scripted_dialogs.h"

namespace terrak::testing {

DialogButton ScriptedDialogs::Message(const std::string& text, MessageType type,
                                      unsigned buttons) {
  Messages.push_back({text, type, buttons});
  if (!MessageAnswers.empty()) {
    const DialogButton answer = MessageAnswers.front();
    MessageAnswers.pop_front();
    return answer;
  }
  // Without a scripted answer the first button offered is pressed.
  for (DialogButton b : {DialogButton::Ok, DialogButton::Yes, DialogButton::No,
                         DialogButton::Cancel})
    if (buttons & static_cast<unsigned>(b)) return b;
  return DialogButton::Ok;
}

std::string ScriptedDialogs::Input(const std::string& caption, const std::string& prompt,
                                   const std::string& defaultText) {
  Inputs.push_back({caption, prompt, defaultText});
  if (InputAnswers.empty()) return defaultText;
  const std::optional<std::string> answer = InputAnswers.front();
  InputAnswers.pop_front();
  return answer ? *answer : defaultText;
}

std::optional<std::string> ScriptedDialogs::OpenFileName(const FileDialogOptions& options) {
  FileDialogs.push_back(options);
  if (FileAnswers.empty()) return std::nullopt;
  const std::optional<std::string> answer = FileAnswers.front();
  FileAnswers.pop_front();
  return answer;
}

std::optional<std::string> ScriptedDialogs::SaveFileName(const FileDialogOptions& options) {
  return OpenFileName(options);
}

std::optional<Colour> ScriptedDialogs::ChooseColour(Colour initial) {
  ColourDialogs.push_back(initial);
  if (ColourAnswers.empty()) return std::nullopt;
  const std::optional<Colour> answer = ColourAnswers.front();
  ColourAnswers.pop_front();
  return answer;
}

void ScriptedDialogs::SetBusyCursor(bool busy) {
  BusyDepth += busy ? 1 : -1;
  if (busy) ++BusyCalls;
}

std::vector<std::string> ScriptedDialogs::MessageTexts() const {
  std::vector<std::string> texts;
  for (const AskedMessage& m : Messages) texts.push_back(m.Text);
  return texts;
}

}  // namespace terrak::testing
