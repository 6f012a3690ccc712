#pragma once
// The 3D colour dialog: the front and back colours of the depth ramp, each changed by a
// double-click on its label.
#include <QDialog>

#include "mapfile/settings.h"
#include "platform/user_dialogs.h"

class QLabel;

namespace terrak {

class TColours3dform : public QDialog {
  Q_OBJECT

 public:
  TColours3dform(Settings& settings, UserDialogs& dialogs, QWidget* parent = nullptr);
  QLabel* Frontcolour() const { return frontcolour_; }
  QLabel* Backcolour() const { return backcolour_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowColours();

  Settings& settings_;
  UserDialogs& dialogs_;
  QLabel* frontcolour_;
  QLabel* backcolour_;
};

}  // namespace terrak
