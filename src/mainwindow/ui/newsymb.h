#pragma once
// The change symbol type dialog: moves the traced objects to another selected symbol.
#include <QDialog>

#include "mainwindow/app_state.h"
#include "mainwindow/change_symbol.h"
#include "platform/user_dialogs.h"

class QLabel;
class QListWidget;

namespace terrak {

class TChangeSymbForm : public QDialog {
  Q_OBJECT

 public:
  TChangeSymbForm(AppState& app, UserDialogs& dialogs, QWidget* parent = nullptr);

  QListWidget* symblistbox() const { return symblistbox_; }
  QLabel* Symbtochange() const { return symbtochange_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OKbuttonClick();

  AppState& app_;
  UserDialogs& dialogs_;
  ChangeSymbolChoice choice_;
  QLabel* symbtochange_;
  QListWidget* symblistbox_;
};

}  // namespace terrak
