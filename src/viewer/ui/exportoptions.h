#pragma once
// The options step of the viewer's Export menu: the DEM's raster format, or the mesh's grid
// interval and vertical exaggeration, and for printing also the print width and the base.
#include <QDialog>

#include "viewer/export_choices.h"

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace terrak {

class TExportOptionsForm : public QDialog {
  Q_OBJECT

 public:
  TExportOptionsForm(ExportKind kind, const ExportChoices& choices, QWidget* parent = nullptr);

  // The choices as the fields show them now.
  ExportChoices Choices() const;

  // The fields of this kind; the others are null.
  QComboBox* Format() const { return format_; }
  QSpinBox* Interval() const { return interval_; }
  QDoubleSpinBox* Exaggeration() const { return exaggeration_; }
  QDoubleSpinBox* PrintWidth() const { return printWidth_; }
  QDoubleSpinBox* Base() const { return base_; }

 private:
  ExportChoices choices_;
  QComboBox* format_ = nullptr;
  QSpinBox* interval_ = nullptr;
  QDoubleSpinBox* exaggeration_ = nullptr;
  QDoubleSpinBox* printWidth_ = nullptr;
  QDoubleSpinBox* base_ = nullptr;
};

}  // namespace terrak
