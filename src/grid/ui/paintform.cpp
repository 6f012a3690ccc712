#include "grid/ui/paintform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QThread>
#include <QWindow>

namespace terrak {

TPaintingform::TPaintingform(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle("Creating Grid - Progress");
  move(678, 287);
  resize(222, 433);
  setCursor(Qt::WaitCursor);
  image_ = QImage(size(), QImage::Format_RGB32);
  image_.fill(Qt::white);
  canvas_.SetImage(&image_);
  canvas_.SetFont("MS Sans Serif", 8);
  canvas_.SetBrushColour(kWhite);
}

bool TPaintingform::IsExposed() const {
  return windowHandle() != nullptr && windowHandle()->isExposed() && testAttribute(Qt::WA_Mapped);
}

void TPaintingform::WaitUntilExposed() {
  // A new window is mapped and exposed by the window system through events, and until Qt has
  // handled them it throws every paint away. The construction gives the event loop no other
  // chance, so the events are handled here, user input left waiting.
  QElapsedTimer clock;
  clock.start();
  while (!IsExposed() && clock.elapsed() < kExposeWaitMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!IsExposed()) QThread::msleep(2);
  }
}

void TPaintingform::ShowProgress(const std::string& text) {
  canvas_.TextOut(0, ProgressLineY, text);
  canvas_.End();
  ProgressLineY += 15;
  // A window system slower than the wait at opening gets another chance at every line.
  if (!IsExposed()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  // Painted and flushed to the screen at once: the construction runs on the user-interface
  // thread and gives no other chance to paint until it ends.
  repaint();
}

void TPaintingform::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, image_);
}

PaintingformProgress::~PaintingformProgress() { delete form_; }

void PaintingformProgress::Open() {
  delete form_;
  form_ = new TPaintingform();
  form_->show();
  form_->WaitUntilExposed();
  form_->repaint();  // the white background before the first line
}

void PaintingformProgress::ShowProgress(const std::string& text) {
  if (form_ != nullptr) form_->ShowProgress(text);
}

void PaintingformProgress::BackUpOneLine() {
  if (form_ != nullptr) form_->BackUpOneLine();
}

void PaintingformProgress::Close() {
  if (form_ == nullptr) return;
  form_->hide();
  form_->deleteLater();
  form_ = nullptr;
}

}  // namespace terrak
