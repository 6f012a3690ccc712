#pragma once
// The user's dialogs as Qt shows them: message boxes, input boxes, file and colour dialogs, the
// busy cursor and the beep.
#include "platform/user_dialogs.h"

class QWidget;

namespace terrak {

inline constexpr const char* kApplicationTitle = "Terrak 7.1";

class QtUserDialogs : public UserDialogs {
 public:
  explicit QtUserDialogs(QWidget* parent) : parent_(parent) {}

  DialogButton Message(const std::string& text, MessageType type, unsigned buttons) override;
  std::string Input(const std::string& caption, const std::string& prompt,
                    const std::string& defaultText) override;
  std::optional<std::string> OpenFileName(const FileDialogOptions& options) override;
  std::optional<std::string> SaveFileName(const FileDialogOptions& options) override;
  std::optional<Colour> ChooseColour(Colour initial) override;
  void SetBusyCursor(bool busy) override;
  void Beep() override;

 private:
  std::optional<std::string> FileName(const FileDialogOptions& options, bool save);
  QWidget* parent_;
};

// "description|pattern|description|pattern" as Qt writes file filters:
// "description (pattern);;description (pattern)".
std::string QtFileFilter(const std::string& filter);

}  // namespace terrak
