#include "viewer/ui/show2dmap.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>

#include "platform/qt/error_guard.h"
#include "viewer/ui/picture_surface.h"

namespace terrak {

TMap2d::TMap2d(ViewerState& viewer, const GridState& grid, UserDialogs& dialogs, QWidget* owner)
    : QMainWindow(owner, Qt::Window), viewer_(viewer), grid_(grid), dialogs_(dialogs),
      scrollBox1_(new QScrollArea(this)), image1_(new PictureSurface) {
  setObjectName(QStringLiteral("Map2d"));
  setWindowTitle(QStringLiteral("MapView"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(488, 759);
  move(531, 1);
  QAction* exit = menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Exit"));
  exit->setObjectName(QStringLiteral("Exit2"));
  connect(exit, &QAction::triggered, this, &QWidget::close);

  image1_->FollowWidgetSize = false;
  image1_->setFocusPolicy(Qt::NoFocus);
  scrollBox1_->setWidget(image1_);
  scrollBox1_->setWidgetResizable(false);
  scrollBox1_->verticalScrollBar()->setSingleStep(10);
  scrollBox1_->horizontalScrollBar()->setSingleStep(10);
  setCentralWidget(scrollBox1_);

  const auto button = [](Qt::MouseButton b) {
    return b == Qt::RightButton ? MouseButton::Right
           : b == Qt::LeftButton ? MouseButton::Left
                                 : MouseButton::Middle;
  };
  image1_->MouseDown = [this, button](Qt::MouseButton b, QPoint at) {
    RunReportingErrors(dialogs_, [&] {
      Image1MouseDown(overview_, image1_->Canvas(), button(b), {at.x(), at.y()});
    });
    image1_->Canvas().End();
    image1_->update();
  };
  image1_->MouseMove = [this](QPoint at) {
    RunReportingErrors(dialogs_, [&] {
      Image1MouseMove(overview_, image1_->Canvas(), {at.x(), at.y()});
    });
    image1_->Canvas().End();
    image1_->update();
  };
  image1_->MouseUp = [this, button](Qt::MouseButton b, QPoint at) {
    bool aimed = false;
    RunReportingErrors(dialogs_, [&] {
      aimed = Image1MouseUp(overview_, button(b), {at.x(), at.y()}, viewer_, grid_);
    });
    if (aimed && Aimed) Aimed();
  };
}

void TMap2d::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (created_) return;
  created_ = true;
  RunReportingErrors(dialogs_, [this] {
    Createmap(overview_, grid_);
    FormPaint();
  });
}

void TMap2d::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (created_) RunReportingErrors(dialogs_, [this] { FormPaint(); });
}

// The picture drawn afresh at the top left; the scroll box shows bars where it is larger than
// the window.
void TMap2d::FormPaint() {
  if (overview_.OverviewClosed) return;
  const Picture& picture = overview_.OverviewBitmap;
  image1_->resize(std::max(picture.Width, 1), std::max(picture.Height, 1));
  image1_->ResizeImage(picture.Width, picture.Height);
  image1_->ShowPicture(picture);
  // Every paint shows the picture from its top left corner again.
  scrollBox1_->horizontalScrollBar()->setValue(0);
  scrollBox1_->verticalScrollBar()->setValue(0);
  OverviewRepainted(overview_);
}

void TMap2d::closeEvent(QCloseEvent* event) {
  OverviewClose(overview_, viewer_);
  if (Closed) Closed();
  QMainWindow::closeEvent(event);
}

}  // namespace terrak
