#pragma once
// The Contour Settings dialog: a role for each selected symbol, the contour interval and how
// often an index contour comes.
#include <QDialog>
#include <optional>

#include "mainwindow/contour_settings_question.h"

class QDoubleSpinBox;
class QSpinBox;
class QTableWidget;

namespace terrak {

class TContourSettingsForm : public QDialog {
  Q_OBJECT

 public:
  TContourSettingsForm(const ContourSettingsQuestion& question, QWidget* parent = nullptr);

  QTableWidget* RoleGrid() const { return roleGrid_; }
  QDoubleSpinBox* IntervalBox() const { return intervalBox_; }
  QSpinBox* IndexEveryBox() const { return indexEveryBox_; }
  // What the user chose, once the dialog was accepted.
  std::optional<ContourSettingsQuestion> Answer() const;

 private:
  ContourSettingsQuestion question_;
  QTableWidget* roleGrid_;
  QDoubleSpinBox* intervalBox_;
  QSpinBox* indexEveryBox_;
};

// The role names in the order the role boxes list them.
inline constexpr const char* kRoleNames[] = {"-", "Contour", "Index contour", "Form line",
                                             "Slope line"};

}  // namespace terrak
