#include "mainwindow/ui/heighttag.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace terrak {

THeightTagForm::THeightTagForm(const HeightTagQuestion& question, QWidget* parent)
    : QDialog(parent), taglistbox_(new QListWidget(this)) {
  setObjectName("HeightTagForm");
  setWindowTitle(kHeightTagCaption);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(kHeightTagPrompt, this));
  taglistbox_->setObjectName("taglistbox");
  for (const std::string& row : HeightTagRows(question))
    taglistbox_->addItem(QString::fromStdString(row));
  taglistbox_->setCurrentRow(static_cast<int>(question.Proposed));
  layout->addWidget(taglistbox_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(taglistbox_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  layout->addWidget(buttons);
}

std::optional<std::size_t> THeightTagForm::Chosen() const {
  if (result() != QDialog::Accepted || taglistbox_->currentRow() < 0) return std::nullopt;
  return static_cast<std::size_t>(taglistbox_->currentRow());
}

}  // namespace terrak
