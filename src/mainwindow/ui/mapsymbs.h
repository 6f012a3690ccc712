#pragma once
// The symbol selection dialog: which symbols of the map the program works with.
#include <QDialog>

#include "mainwindow/app_state.h"
#include "mainwindow/symbol_selection.h"
#include "platform/user_dialogs.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace terrak {

class TmaplistDlg : public QDialog {
  Q_OBJECT

 public:
  TmaplistDlg(AppState& app, UserDialogs& dialogs, QWidget* parent = nullptr);

  QListWidget* SrcList() const { return srcList_; }
  QListWidget* DstList() const { return dstList_; }
  QPushButton* IncludeBtn() const { return includeBtn_; }
  QPushButton* IncAllBtn() const { return incAllBtn_; }
  QPushButton* ExcludeBtn() const { return excludeBtn_; }
  QPushButton* ExAllBtn() const { return exAllBtn_; }
  QPushButton* OKBtn() const { return okBtn_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Runs a button's step on the lists, with the selections the user made in the widgets.
  void Move(void (SymbolSelection::*step)());
  void OKBtnClick();
  void Mirror();

  AppState& app_;
  UserDialogs& dialogs_;
  SymbolSelection selection_;
  QListWidget* srcList_;
  QListWidget* dstList_;
  QPushButton* includeBtn_;
  QPushButton* incAllBtn_;
  QPushButton* excludeBtn_;
  QPushButton* exAllBtn_;
  QPushButton* okBtn_;
};

}  // namespace terrak
