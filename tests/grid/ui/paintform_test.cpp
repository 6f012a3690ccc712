// The progress window of the grid construction, on the offscreen platform.
#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

#include "grid/ui/paintform.h"

namespace terrak {
namespace {

// Whether any pixel of rows top .. top + 14 is dark.
bool HasInk(const QImage& image, int top) {
  for (int y = top; y < top + 15 && y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qGray(image.pixel(x, y)) < 128) return true;
  return false;
}

TEST(Paintingform, ACounterLineIsWrittenOverTheOneBeforeAndClosingLetsTheWindowGo) {
  PaintingformProgress progress;
  progress.Open();
  TPaintingform* form = progress.Window();
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->windowFlags() & Qt::WindowCloseButtonHint);  // the user cannot close it
  EXPECT_EQ(std::tuple(form->windowTitle().toStdString(), form->width(), form->height()),
            std::tuple("Creating Grid - Progress", 222, 433));
  EXPECT_EQ(form->cursor().shape(), Qt::WaitCursor);
  progress.ShowProgress("Getting Extent of map...");
  progress.ShowProgress("selected portion of map is 12 metres wide");

  // A column counter: each line written over the one before it.
  progress.ShowProgress("column 8");
  progress.BackUpOneLine();
  progress.ShowProgress("column 9");
  progress.BackUpOneLine();
  EXPECT_EQ(form->ProgressLineY, 30);
  const QImage before = form->Surface().copy(0, 30, 222, 15);
  progress.ShowProgress("column 9");
  EXPECT_EQ(form->Surface().copy(0, 30, 222, 15), before);
  EXPECT_FALSE(HasInk(form->Surface(), 45));

  // Closing lets the window go once the pending events are handled.
  QPointer<TPaintingform> watched(form);
  progress.Close();
  EXPECT_EQ(progress.Window(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watched.isNull());
  // Lines after closing go nowhere.
  progress.ShowProgress("Closing Dialogue Box");
}

// What the window system shows of the window (not the window's own image), read without
// giving the event loop a chance first: the construction gives it none.
QImage OnScreen(QWidget* window) {
  const QPixmap shown = window->screen()->grabWindow(window->winId());
  return shown.toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(Paintingform, EachLineIsOnTheScreenAsSoonAsItIsWritten) {
  PaintingformProgress progress;
  progress.Open();
  TPaintingform* form = progress.Window();
  EXPECT_TRUE(form->IsExposed());
  const QImage empty = OnScreen(form);
  ASSERT_FALSE(empty.isNull());
  EXPECT_EQ(empty.pixel(100, 200), qRgb(255, 255, 255));  // the background, painted at once
  EXPECT_FALSE(HasInk(empty, 0));
  progress.ShowProgress("Getting Extent of map...");
  EXPECT_TRUE(HasInk(OnScreen(form), 0));
  progress.ShowProgress("selected portion of map is 12 metres wide");
  const QImage two = OnScreen(form);
  EXPECT_TRUE(HasInk(two, 15));
  EXPECT_FALSE(HasInk(two, 30));
  progress.Close();
}

}  // namespace
}  // namespace terrak
