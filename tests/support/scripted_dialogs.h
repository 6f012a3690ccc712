#pragma once
// UserDialogs answered from a script: each question takes the next queued answer of its kind
// (or a default when the queue is empty) and is recorded, so tests can check what was asked.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/user_dialogs.h"

namespace terrak::testing {

struct AskedMessage {
  std::string Text;
  MessageType Type;
  unsigned Buttons;
};

struct AskedInput {
  std::string Caption;
  std::string Prompt;
  std::string DefaultText;
};

class ScriptedDialogs : public UserDialogs {
 public:
  // Queued answers.
  std::deque<DialogButton> MessageAnswers;
  std::deque<std::optional<std::string>> InputAnswers;  // nothing = Cancel
  std::deque<std::optional<std::string>> FileAnswers;   // for open and save alike
  std::deque<std::optional<Colour>> ColourAnswers;

  // What was asked.
  std::vector<AskedMessage> Messages;
  std::vector<AskedInput> Inputs;
  std::vector<FileDialogOptions> FileDialogs;
  std::vector<Colour> ColourDialogs;
  int BusyDepth = 0;
  int BusyCalls = 0;
  int Beeps = 0;

  DialogButton Message(const std::string& text, MessageType type, unsigned buttons) override;
  std::string Input(const std::string& caption, const std::string& prompt,
                    const std::string& defaultText) override;
  std::optional<std::string> OpenFileName(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(const FileDialogOptions& options) override;
  std::optional<Colour> ChooseColour(Colour initial) override;
  void SetBusyCursor(bool busy) override;
  void Beep() override { ++Beeps; }

  std::vector<std::string> MessageTexts() const;
};

}  // namespace terrak::testing
