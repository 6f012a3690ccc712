#include "export/export_progress.h"

#include <algorithm>

#include "export/export_error.h"

namespace terrak {

void ExportProgress::BeginStage(double share) {
  stageStart_ += stageShare_;
  stageShare_ = share;
  Report(0.0);
}

void ExportProgress::Report(double stageFraction) {
  if (!callback_) return;
  const double whole = stageStart_ + stageShare_ * std::clamp(stageFraction, 0.0, 1.0);
  if (!callback_(std::min(whole, 1.0))) throw ExportCancelled();
}

void ExportProgress::Finish() {
  if (callback_ && !callback_(1.0)) throw ExportCancelled();
}

}  // namespace terrak
