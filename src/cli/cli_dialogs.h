#pragma once
// UserDialogs for the command line: messages go to standard error, questions take their
// default answer, nothing waits for a person.
#include "cli/error_output.h"
#include "platform/user_dialogs.h"

namespace terrak::cli {

class CliDialogs : public UserDialogs {
 public:
  explicit CliDialogs(ErrorOutput& err) : err_(err) {}
  DialogButton Message(const std::string& text, MessageType type, unsigned buttons) override;
  std::string Input(const std::string& caption, const std::string& prompt,
                    const std::string& defaultText) override;
  std::optional<std::string> OpenFileName(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(const FileDialogOptions& options) override;
  std::optional<Colour> ChooseColour(Colour initial) override;
  void SetBusyCursor(bool) override {}
  void Beep() override {}
  int MessagesShown() const { return messages_; }

 private:
  ErrorOutput& err_;
  int messages_ = 0;
};

}  // namespace terrak::cli
