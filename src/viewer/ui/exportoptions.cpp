#include "viewer/ui/exportoptions.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>

#include "export/dem_formats.h"

namespace terrak {
namespace {

QDoubleSpinBox* NumberField(const ChoiceRange& range, double value, int decimals,
                            const char* suffix, QWidget* parent) {
  auto* field = new QDoubleSpinBox(parent);
  field->setRange(range.Min, range.Max);
  field->setDecimals(decimals);
  field->setSuffix(QString::fromUtf8(suffix));
  field->setValue(value);
  return field;
}

const char* TitleOf(ExportKind kind) {
  switch (kind) {
    case ExportKind::Dem: return "Terrain as DEM";
    case ExportKind::Glb: return "Terrain as 3D model (glTF)";
    case ExportKind::Stl: break;
  }
  return "Terrain for 3D printing (STL)";
}

}  // namespace

TExportOptionsForm::TExportOptionsForm(ExportKind kind, const ExportChoices& choices,
                                       QWidget* parent)
    : QDialog(parent), choices_(choices) {
  setObjectName(QStringLiteral("ExportOptionsForm"));
  setWindowTitle(QString::fromUtf8(TitleOf(kind)));
  auto* form = new QFormLayout(this);
  if (kind == ExportKind::Dem) {
    format_ = new QComboBox(this);
    for (const DemFormat& format : OfferedDemFormats())
      format_->addItem(QString::fromStdString(format.Description + " (" + format.Driver + ")"),
                       QString::fromStdString(format.Driver));
    const int current = format_->findData(QString::fromStdString(choices.DemFormat));
    format_->setCurrentIndex(current >= 0 ? current : 0);
    form->addRow(tr("Raster format"), format_);
  } else {
    interval_ = new QSpinBox(this);
    interval_->setRange(static_cast<int>(kExportIntervalRange.Min),
                        static_cast<int>(kExportIntervalRange.Max));
    interval_->setSuffix(tr(" m"));
    interval_->setValue(choices.Interval);
    form->addRow(tr("Grid interval"), interval_);
    exaggeration_ = NumberField(kExaggerationRange, choices.Exaggeration, 2, " x", this);
    form->addRow(tr("Vertical exaggeration"), exaggeration_);
  }
  if (kind == ExportKind::Stl) {
    printWidth_ = NumberField(kPrintWidthRange, choices.PrintWidthMm, 1, " mm", this);
    form->addRow(tr("Print width (west to east)"), printWidth_);
    base_ = NumberField(kBaseRange, choices.BaseMm, 1, " mm", this);
    form->addRow(tr("Base"), base_);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  form->addRow(buttons);
}

ExportChoices TExportOptionsForm::Choices() const {
  ExportChoices c = choices_;
  if (format_ && format_->currentIndex() >= 0)
    c.DemFormat = format_->currentData().toString().toStdString();
  if (interval_) c.Interval = interval_->value();
  if (exaggeration_) c.Exaggeration = exaggeration_->value();
  if (printWidth_) c.PrintWidthMm = printWidth_->value();
  if (base_) c.BaseMm = base_->value();
  return c;
}

}  // namespace terrak
