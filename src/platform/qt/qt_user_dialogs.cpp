#include "platform/qt/qt_user_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "platform/qt/image_canvas.h"

namespace terrak {

namespace {

QMessageBox::Icon IconOf(MessageType type) {
  switch (type) {
    case MessageType::Information: return QMessageBox::Information;
    case MessageType::Warning: return QMessageBox::Warning;
    case MessageType::Confirmation: return QMessageBox::Question;
    case MessageType::Error: return QMessageBox::Critical;
    case MessageType::Plain: break;
  }
  return QMessageBox::NoIcon;
}

struct ButtonPair {
  DialogButton Ours;
  QMessageBox::StandardButton Qt;
};
constexpr ButtonPair kButtons[] = {{DialogButton::Ok, QMessageBox::Ok},
                                   {DialogButton::Yes, QMessageBox::Yes},
                                   {DialogButton::No, QMessageBox::No},
                                   {DialogButton::Cancel, QMessageBox::Cancel}};

}  // namespace

std::string QtFileFilter(const std::string& filter) {
  std::string result;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const std::size_t bar = filter.find('|', start);
    const std::string description = filter.substr(start, bar - start);
    if (bar == std::string::npos) break;
    const std::size_t next = filter.find('|', bar + 1);
    const std::string pattern = filter.substr(bar + 1, next == std::string::npos ? next : next - bar - 1);
    if (!result.empty()) result += ";;";
    result += description + " (" + pattern + ")";
    if (next == std::string::npos) break;
    start = next + 1;
  }
  return result;
}

DialogButton QtUserDialogs::Message(const std::string& text, MessageType type, unsigned buttons) {
  QMessageBox box(IconOf(type), QString::fromUtf8(kApplicationTitle), QString::fromStdString(text),
                  QMessageBox::NoButton, parent_);
  // The program's messages are plain text: a file name with '<' in the line after a refusal must
  // not turn the text into HTML, which would join its lines.
  box.setTextFormat(Qt::PlainText);
  for (const ButtonPair& pair : kButtons)
    if (buttons & static_cast<unsigned>(pair.Ours)) box.addButton(pair.Qt);
  if (buttons == 0) box.addButton(QMessageBox::Ok);
  const int pressed = box.exec();
  for (const ButtonPair& pair : kButtons)
    if (pressed == pair.Qt) return pair.Ours;
  return DialogButton::Cancel;
}

std::string QtUserDialogs::Input(const std::string& caption, const std::string& prompt,
                                 const std::string& defaultText) {
  QInputDialog dialog(parent_);
  dialog.setWindowTitle(QString::fromStdString(caption));
  dialog.setLabelText(QString::fromStdString(prompt));
  dialog.setTextValue(QString::fromStdString(defaultText));
  if (dialog.exec() != QDialog::Accepted) return defaultText;
  return dialog.textValue().toStdString();
}

std::optional<std::string> QtUserDialogs::FileName(const FileDialogOptions& options, bool save) {
  QFileDialog dialog(parent_, QString::fromStdString(options.Caption),
                     QString::fromStdString(options.InitialFolder),
                     QString::fromStdString(QtFileFilter(options.Filter)));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!options.DefaultExtension.empty())
    dialog.setDefaultSuffix(QString::fromStdString(options.DefaultExtension));
  if (save && !options.AskBeforeOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!options.ProposedName.empty()) dialog.selectFile(QString::fromStdString(options.ProposedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtUserDialogs::OpenFileName(const FileDialogOptions& options) {
  return FileName(options, false);
}

std::optional<std::string> QtUserDialogs::SaveFileName(const FileDialogOptions& options) {
  return FileName(options, true);
}

std::optional<Colour> QtUserDialogs::ChooseColour(Colour initial) {
  const QColor chosen = QColorDialog::getColor(ToQColor(initial), parent_);
  if (!chosen.isValid()) return std::nullopt;
  return FromQColor(chosen);
}

void QtUserDialogs::SetBusyCursor(bool busy) {
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtUserDialogs::Beep() { QApplication::beep(); }

}  // namespace terrak
