#pragma once
// The progress window of a long export: a bar and a Cancel button, modal for the whole program
// while the export runs on the user-interface thread.
#include <QPointer>
#include <QProgressDialog>
#include <QString>

#include "viewer/viewer_window.h"

class QWidget;

namespace terrak {

class TExportProgressForm : public ExportProgressWindow {
 public:
  TExportProgressForm(const QString& caption, QWidget* parent);
  ~TExportProgressForm() override;

  // Moves the bar (in thousandths) and lets the window system paint it and deliver a press of
  // Cancel.
  bool Report(double fraction) override;
  QProgressDialog* Dialog() const { return dialog_; }

 private:
  QPointer<QProgressDialog> dialog_;
  int shown_ = -1;
};

}  // namespace terrak
