#include "viewer/ui/exportprogress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>
#include <cmath>

namespace terrak {

namespace {
constexpr int kSteps = 1000;
}

TExportProgressForm::TExportProgressForm(const QString& caption, QWidget* parent)
    : dialog_(new QProgressDialog(caption, QObject::tr("Cancel"), 0, kSteps, parent)) {
  dialog_->setObjectName(QStringLiteral("ExportProgress"));
  dialog_->setWindowTitle(caption);
  // Nothing else may run while the export does: the other windows wait.
  dialog_->setWindowModality(Qt::ApplicationModal);
  dialog_->setAutoClose(false);
  dialog_->setAutoReset(false);
  dialog_->setMinimumDuration(0);
  dialog_->setValue(0);
  dialog_->show();
  QCoreApplication::processEvents();
}

TExportProgressForm::~TExportProgressForm() { delete dialog_; }

bool TExportProgressForm::Report(double fraction) {
  if (!dialog_) return false;
  const int step = static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * kSteps));
  if (step != shown_) {
    shown_ = step;
    dialog_->setValue(step);  // a modal dialog handles the pending events here
  } else {
    QCoreApplication::processEvents();
  }
  return !dialog_->wasCanceled();
}

}  // namespace terrak
