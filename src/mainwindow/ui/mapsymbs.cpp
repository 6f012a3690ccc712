#include "mainwindow/ui/mapsymbs.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include "platform/qt/error_guard.h"

namespace terrak {

namespace {

QFont DialogFont() {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(11);
  font.setBold(true);
  return font;
}

QPushButton* Button(QWidget* parent, const QString& caption, int x, int y, int w, int h) {
  auto* button = new QPushButton(caption, parent);
  button->setGeometry(x, y, w, h);
  return button;
}

QListWidget* List(QWidget* parent, int x) {
  auto* list = new QListWidget(parent);
  list->setGeometry(x, 24, 265, 377);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  return list;
}

void Fill(QListWidget* widget, const SortedList& list) {
  widget->clear();
  for (const ListItem& item : list.Items()) {
    auto* row = new QListWidgetItem(QString::fromStdString(item.Text), widget);
    row->setSelected(item.Selected);
  }
}

void ReadSelection(const QListWidget* widget, SortedList& list) {
  for (int i = 0; i < widget->count() && static_cast<std::size_t>(i) < list.Count(); ++i)
    list.Select(static_cast<std::size_t>(i), widget->item(i)->isSelected());
}

}  // namespace

TmaplistDlg::TmaplistDlg(AppState& app, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), app_(app), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Elements to be included in map"));
  setFixedSize(588, 453);
  setFont(DialogFont());
  // Black text on usable controls; disabled ones keep the style's greyed text, so a disabled
  // button looks disabled.
  QPalette palette = this->palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::WindowText, Qt::black);
    palette.setColor(group, QPalette::ButtonText, Qt::black);
  }
  setPalette(palette);

  (new QLabel(QStringLiteral("Symbols on Ocad map"), this))->setGeometry(8, 8, 145, 16);
  (new QLabel(QStringLiteral("Symbols to be displayed in Terrak5"), this))->setGeometry(312, 8, 257, 16);
  srcList_ = List(this, 8);
  dstList_ = List(this, 312);
  includeBtn_ = Button(this, QStringLiteral(">"), 280, 32, 24, 24);
  incAllBtn_ = Button(this, QStringLiteral(">>"), 280, 64, 24, 24);
  excludeBtn_ = Button(this, QStringLiteral("<"), 280, 96, 24, 24);
  exAllBtn_ = Button(this, QStringLiteral("<<"), 280, 128, 24, 24);
  okBtn_ = Button(this, QStringLiteral("OK"), 180, 412, 77, 27);
  QPushButton* cancelBtn = Button(this, QStringLiteral("Cancel"), 264, 412, 77, 27);
  QPushButton* helpBtn = Button(this, QStringLiteral("&Help"), 348, 412, 77, 27);
  helpBtn->hide();
  okBtn_->setDefault(true);
  for (QPushButton* b : {includeBtn_, incAllBtn_, excludeBtn_, exAllBtn_}) b->setAutoDefault(false);

  connect(includeBtn_, &QPushButton::clicked, this, [this] { Move(&SymbolSelection::IncludeBtnClick); });
  connect(incAllBtn_, &QPushButton::clicked, this, [this] { Move(&SymbolSelection::IncAllBtnClick); });
  connect(excludeBtn_, &QPushButton::clicked, this, [this] { Move(&SymbolSelection::ExcludeBtnClick); });
  connect(exAllBtn_, &QPushButton::clicked, this, [this] { Move(&SymbolSelection::ExcAllBtnClick); });
  connect(okBtn_, &QPushButton::clicked, this, [this] { OKBtnClick(); });
  connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  Mirror();
}

void TmaplistDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  selection_.FormCreate(app_.Model);
  Mirror();
}

void TmaplistDlg::Move(void (SymbolSelection::*step)()) {
  ReadSelection(srcList_, selection_.SrcList);
  ReadSelection(dstList_, selection_.DstList);
  (selection_.*step)();
  Mirror();
}

void TmaplistDlg::OKBtnClick() {
  RunReportingErrors(dialogs_, [this] { selection_.OKBtnClick(app_.Model, app_.Settings, dialogs_); });
  accept();
}

void TmaplistDlg::Mirror() {
  Fill(srcList_, selection_.SrcList);
  Fill(dstList_, selection_.DstList);
  includeBtn_->setEnabled(selection_.IncludeEnabled);
  incAllBtn_->setEnabled(selection_.IncAllEnabled);
  excludeBtn_->setEnabled(selection_.ExcludeEnabled);
  exAllBtn_->setEnabled(selection_.ExAllEnabled);
  if (selection_.HasFocus)
    (selection_.FocusedList == SymbolSelection::ListId::Src ? srcList_ : dstList_)->setFocus();
}

}  // namespace terrak
