#include "mainwindow/ui/contourset.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace terrak {

namespace {

using heights::ContourRole;

constexpr ContourRole kRoles[] = {ContourRole::None, ContourRole::Contour,
                                  ContourRole::IndexContour, ContourRole::FormLine,
                                  ContourRole::SlopeLine};

}  // namespace

TContourSettingsForm::TContourSettingsForm(const ContourSettingsQuestion& question,
                                           QWidget* parent)
    : QDialog(parent), question_(question),
      roleGrid_(new QTableWidget(static_cast<int>(question.Rows.size()), 2, this)),
      intervalBox_(new QDoubleSpinBox(this)), indexEveryBox_(new QSpinBox(this)) {
  setObjectName("ContourSettingsForm");
  setWindowTitle(kContourSettingsCaption);
  auto* layout = new QVBoxLayout(this);
  roleGrid_->setObjectName("RoleGrid");
  roleGrid_->setHorizontalHeaderLabels({tr("Symbol"), tr("Role")});
  roleGrid_->verticalHeader()->hide();
  roleGrid_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  for (int row = 0; row < roleGrid_->rowCount(); ++row) {
    const ContourSettingsRow& r = question.Rows[static_cast<std::size_t>(row)];
    auto* symbol = new QTableWidgetItem(QString::fromStdString(r.Text));
    symbol->setFlags(symbol->flags() & ~Qt::ItemIsEditable);
    roleGrid_->setItem(row, 0, symbol);
    auto* role = new QComboBox(roleGrid_);
    for (const char* name : kRoleNames) role->addItem(tr(name));
    for (int i = 0; i < static_cast<int>(std::size(kRoles)); ++i)
      if (kRoles[i] == r.Role) role->setCurrentIndex(i);
    roleGrid_->setCellWidget(row, 1, role);
  }
  layout->addWidget(roleGrid_);

  auto* numbers = new QFormLayout;
  intervalBox_->setObjectName("IntervalBox");
  intervalBox_->setDecimals(2);
  intervalBox_->setRange(0.01, 1000.0);
  intervalBox_->setSuffix(" m");
  intervalBox_->setValue(question.Interval);
  numbers->addRow(tr("Contour interval:"), intervalBox_);
  indexEveryBox_->setObjectName("IndexEveryBox");
  indexEveryBox_->setRange(1, 100);
  indexEveryBox_->setValue(question.IndexEvery);
  numbers->addRow(tr("Index contour every nth level:"), indexEveryBox_);
  layout->addLayout(numbers);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(420, 360);
}

std::optional<ContourSettingsQuestion> TContourSettingsForm::Answer() const {
  if (result() != QDialog::Accepted) return std::nullopt;
  ContourSettingsQuestion answer = question_;
  for (int row = 0; row < roleGrid_->rowCount(); ++row) {
    const auto* role = qobject_cast<QComboBox*>(roleGrid_->cellWidget(row, 1));
    answer.Rows[static_cast<std::size_t>(row)].Role =
        kRoles[static_cast<std::size_t>(role->currentIndex())];
  }
  answer.Interval = intervalBox_->value();
  answer.IndexEvery = indexEveryBox_->value();
  return answer;
}

}  // namespace terrak
