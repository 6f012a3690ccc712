#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "platform/qt/qt_user_dialogs.h"

namespace terrak {
namespace {

// A refusal's second line (the file and what was wrong) reaches the box as a line of its own,
// even when the file's name looks like markup.
TEST(QtUserDialogs, AMessageShowsEveryLineAsPlainText) {
  const std::string text =
      "File is not the correct OCAD format\n/maps/<b>old</b>.ocd: the file is empty";
  QString shown;
  Qt::TextFormat format = Qt::RichText;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shown = box->text();
    format = box->textFormat();
    box->accept();
  });
  QtUserDialogs dialogs(nullptr);
  dialogs.Message(text, MessageType::Information, static_cast<unsigned>(DialogButton::Ok));
  EXPECT_EQ(shown.toStdString(), text);
  EXPECT_EQ(format, Qt::PlainText);
}

}  // namespace
}  // namespace terrak
