#pragma once
// Progress of one export as a fraction from 0 to 1, for a progress window or a text line. The
// callback returns false to cancel; the export then throws ExportCancelled and writes nothing.
#include <functional>

namespace terrak {

using ExportProgressCallback = std::function<bool(double fraction)>;

// Maps the steps of one stage of an export onto its share [start, start + share) of the whole,
// and turns a refusal of the callback into ExportCancelled.
class ExportProgress {
 public:
  explicit ExportProgress(const ExportProgressCallback& callback) : callback_(callback) {}

  // The next stage takes this share of the whole (the shares of one export add up to 1).
  void BeginStage(double share);
  // Reports that this fraction of the current stage is done.
  void Report(double stageFraction);
  // The whole export is done: reports 1.
  void Finish();

 private:
  const ExportProgressCallback& callback_;
  double stageStart_ = 0.0;
  double stageShare_ = 0.0;
};

}  // namespace terrak
