#include "platform/qt/error_guard.h"
#include "viewer/ui/colours3d.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "platform/qt/image_canvas.h"
#include "viewer/colours3d.h"

namespace terrak {

TColours3dform::TColours3dform(Settings& settings, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), settings_(settings), dialogs_(dialogs),
      frontcolour_(new QLabel(QStringLiteral("Front Colour"), this)),
      backcolour_(new QLabel(QStringLiteral("Backcolour"), this)) {
  setObjectName(QStringLiteral("Colours3dform"));
  setWindowTitle(QStringLiteral("Colours3dform"));
  setGeometry(393, 105, 495, 287);

  auto* label1 = new QLabel(QStringLiteral("Change the 3d colour scheme."), this);
  label1->setObjectName(QStringLiteral("Label1"));
  QFont big = label1->font();
  big.setPixelSize(20);
  label1->setFont(big);
  label1->setGeometry(24, 16, 440, 30);
  auto* label2 = new QLabel(
      QStringLiteral("Colours will graduate from Front Colour to back colour on 3d diagrams."), this);
  label2->setObjectName(QStringLiteral("Label2"));
  label2->setGeometry(24, 60, 460, 20);
  frontcolour_->setObjectName(QStringLiteral("Frontcolour"));
  frontcolour_->setGeometry(40, 110, 160, 24);
  backcolour_->setObjectName(QStringLiteral("Backcolour"));
  backcolour_->setGeometry(280, 110, 160, 24);
  for (QLabel* label : {frontcolour_, backcolour_}) label->installEventFilter(this);
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OKbutton"));
  ok->setGeometry(200, 200, 90, 30);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  ShowColours();
}

void TColours3dform::ShowColours() {
  frontcolour_->setStyleSheet(
      QStringLiteral("color: %1").arg(ToQColor(settings_.Front3dColour).name()));
  backcolour_->setStyleSheet(
      QStringLiteral("color: %1").arg(ToQColor(settings_.Back3dColour).name()));
}

bool TColours3dform::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    RunReportingErrors(dialogs_, [&] {
      if (watched == frontcolour_) FrontcolourDblClick(settings_, dialogs_);
      if (watched == backcolour_) BackcolourDblClick(settings_, dialogs_);
    });
    ShowColours();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace terrak
