#pragma once
// The grid construction's progress window: a small white window without border icons on which
// the progress lines are drawn straight, 15 pixels apart, each one shown as soon as it is drawn.
#include <QImage>
#include <QWidget>
#include <memory>
#include <string>

#include "grid/progress_sink.h"
#include "platform/qt/image_canvas.h"

namespace terrak {

class TPaintingform : public QWidget {
  Q_OBJECT

 public:
  explicit TPaintingform(QWidget* parent = nullptr);

  // Draws text at the left edge, ProgressLineY pixels down, on the window's background; then
  // ProgressLineY moves 15 pixels on.
  void ShowProgress(const std::string& text);
  void BackUpOneLine() { ProgressLineY -= 15; }
  // After show(): handles the window system's events (not user input) until the window is on
  // screen, so that what is painted from now on reaches the screen; gives up after a while.
  void WaitUntilExposed();
  bool IsExposed() const;
  static constexpr int kExposeWaitMs = 3000;

  const QImage& Surface() const { return image_; }
  std::int32_t ProgressLineY = 0;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  ImageCanvas canvas_;
};

// The ProgressSink of the program: opens a TPaintingform for the construction and lets it go
// when the construction ends (it is destroyed once the pending window events are handled).
class PaintingformProgress : public ProgressSink {
 public:
  ~PaintingformProgress() override;
  void Open() override;
  void ShowProgress(const std::string& text) override;
  void BackUpOneLine() override;
  void Close() override;

  TPaintingform* Window() const { return form_; }

 private:
  TPaintingform* form_ = nullptr;
};

}  // namespace terrak
