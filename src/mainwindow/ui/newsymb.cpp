#include "mainwindow/ui/newsymb.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/qt/error_guard.h"

namespace terrak {

TChangeSymbForm::TChangeSymbForm(AppState& app, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), app_(app), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Change Symbol Type"));
  setGeometry(362, 238, 435, 300);
  QFont font(QStringLiteral("System"));
  font.setPixelSize(13);
  setFont(font);

  (new QLabel(QStringLiteral("From"), this))->move(80, 16);
  symbtochange_ = new QLabel(this);
  symbtochange_->setGeometry(80, 40, 281, 20);
  (new QLabel(QStringLiteral("to"), this))->move(80, 64);
  symblistbox_ = new QListWidget(this);
  symblistbox_->setGeometry(80, 88, 281, 145);
  symblistbox_->setSelectionMode(QAbstractItemView::SingleSelection);
  auto* okButton = new QPushButton(QStringLiteral("OK"), this);
  okButton->setGeometry(104, 240, 89, 33);
  auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  cancelButton->setGeometry(248, 240, 89, 33);

  connect(symblistbox_, &QListWidget::itemSelectionChanged, this, [this] {
    const int row = symblistbox_->currentRow();
    if (row >= 0 && !symblistbox_->selectedItems().isEmpty())
      choice_.symblistboxClick(app_, static_cast<std::size_t>(row));
  });
  connect(okButton, &QPushButton::clicked, this, [this] { OKbuttonClick(); });
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TChangeSymbForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  choice_.FormActivate(app_);
  symbtochange_->setText(QString::fromStdString(choice_.Symbtochange));
  const QSignalBlocker quiet(symblistbox_);
  symblistbox_->clear();
  for (const ListItem& item : choice_.symblistbox.Items())
    symblistbox_->addItem(QString::fromStdString(item.Text));
}

void TChangeSymbForm::OKbuttonClick() {
  RunReportingErrors(dialogs_, [this] { choice_.OKbuttonClick(app_); });
  accept();
}

}  // namespace terrak
