#include "mainwindow/ui/checkheights.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace terrak {

TCheckHeightsForm::TCheckHeightsForm(std::function<void(int)> step, std::function<void(int)> show,
                                     QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this)), next_(new QPushButton(tr("&Next"), this)),
      previous_(new QPushButton(tr("&Previous"), this)) {
  setObjectName("CheckHeightsForm");
  setWindowTitle(tr("Check Heights"));
  setModal(false);
  list_->setObjectName("FindingList");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  auto* buttons = new QHBoxLayout;
  auto* close = new QPushButton(tr("Close"), this);
  buttons->addWidget(previous_);
  buttons->addWidget(next_);
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(next_, &QPushButton::clicked, this, [step] { step(1); });
  connect(previous_, &QPushButton::clicked, this, [step] { step(-1); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(list_, &QListWidget::currentRowChanged, this, [this, show](int row) {
    if (!marking_ && row >= 0) show(row);
  });
  resize(520, 300);
}

void TCheckHeightsForm::ShowFindings(const std::vector<heights::Finding>& findings) {
  marking_ = true;
  list_->clear();
  for (const heights::Finding& finding : findings)
    list_->addItem(QString::fromStdString(finding.Reason));
  marking_ = false;
  next_->setEnabled(!findings.empty());
  previous_->setEnabled(!findings.empty());
}

void TCheckHeightsForm::MarkCurrent(int index) {
  marking_ = true;
  list_->setCurrentRow(index);
  marking_ = false;
}

}  // namespace terrak
