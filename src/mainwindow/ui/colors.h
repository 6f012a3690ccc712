#pragma once
// The colour scheme dialog: the drawing colour of each selected symbol and the colours of
// highlighted objects and of objects with and without an elevation.
#include <QDialog>

#include "mainwindow/app_state.h"
#include "mainwindow/colour_scheme.h"
#include "platform/user_dialogs.h"

class QLabel;
class QTableWidget;

namespace terrak {

class TColorsform : public QDialog {
  Q_OBJECT

 public:
  TColorsform(AppState& app, UserDialogs& dialogs, QWidget* parent = nullptr);

  QTableWidget* Colorgrid() const { return colorgrid_; }
  QLabel* Hilitetext() const { return hilitetext_; }
  QLabel* withheighttext() const { return withheighttext_; }
  QLabel* noheighttext() const { return noheighttext_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormActivate();
  void ShowLabelColours();

  AppState& app_;
  UserDialogs& dialogs_;
  ColourScheme scheme_;
  QLabel* hilitetext_;
  QLabel* withheighttext_;
  QLabel* noheighttext_;
  QTableWidget* colorgrid_;
};

}  // namespace terrak
