#include "mainwindow/ui/colors.h"

#include <QEvent>
#include <algorithm>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "platform/qt/image_canvas.h"

namespace terrak {

namespace {

// ColorgridDrawCell: after the cell's text, column 1 gets a swatch of its symbol's colour,
// outlined in black.
class SwatchDelegate : public QStyledItemDelegate {
 public:
  SwatchDelegate(const AppState& app, QObject* parent) : QStyledItemDelegate(parent), app_(app) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != 1) return;
    painter->save();
    painter->setPen(Qt::black);
    painter->setBrush(ToQColor(ColourScheme::RowColour(app_, static_cast<std::size_t>(index.row()))));
    painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    painter->restore();
  }

 private:
  const AppState& app_;
};

QLabel* FeatureLabel(QWidget* parent, const QString& text, int y) {
  auto* label = new QLabel(text, parent);
  label->move(40, y);
  label->adjustSize();
  return label;
}

void SetTextColour(QLabel* label, Colour colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, ToQColor(colour));
  label->setPalette(palette);
}

}  // namespace

TColorsform::TColorsform(AppState& app, UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), app_(app), dialogs_(dialogs) {
  setWindowTitle(QStringLiteral("Change colours of features"));
  setGeometry(419, 207, 376, 377);
  QFont font(QStringLiteral("System"));
  font.setPixelSize(13);
  setFont(font);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  setAutoFillBackground(true);

  auto* label4 = new QLabel(QStringLiteral("Double click on  feature to change colour"), this);
  label4->setObjectName(QStringLiteral("label4"));
  label4->setAlignment(Qt::AlignHCenter);
  // 263 pixels, centred; wider where the font needs it, so neither end is cut off.
  const int textWidth = label4->fontMetrics().horizontalAdvance(label4->text()) + 4;
  label4->setGeometry(0, 16, std::max(263, textWidth), std::max(16, label4->fontMetrics().height()));
  auto* groupBox1 = new QGroupBox(this);
  groupBox1->setGeometry(24, 40, 321, 105);
  hilitetext_ = FeatureLabel(groupBox1, QStringLiteral("Highlighted features"), 24);
  withheighttext_ = FeatureLabel(groupBox1, QStringLiteral("Symbols with elevation set"), 49);
  noheighttext_ = FeatureLabel(groupBox1, QStringLiteral("Symbols with no elevation set"), 73);
  for (QLabel* label : {hilitetext_, withheighttext_, noheighttext_}) label->installEventFilter(this);

  colorgrid_ = new QTableWidget(0, 2, this);
  colorgrid_->setGeometry(24, 160, 320, 120);
  colorgrid_->horizontalHeader()->hide();
  colorgrid_->verticalHeader()->hide();
  colorgrid_->horizontalHeader()->setDefaultSectionSize(250);
  // Rows of 18 pixels, whatever the font would ask for.
  colorgrid_->verticalHeader()->setMinimumSectionSize(1);
  colorgrid_->verticalHeader()->setDefaultSectionSize(18);
  colorgrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  colorgrid_->setItemDelegate(new SwatchDelegate(app_, colorgrid_));
  connect(colorgrid_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    scheme_.ColorgridDblClick(app_, dialogs_, static_cast<std::size_t>(row));
    colorgrid_->viewport()->update();
  });

  auto* okButton = new QPushButton(QStringLiteral("OK"), this);
  okButton->setGeometry(72, 296, 89, 33);
  auto* cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
  cancelButton->setGeometry(208, 296, 89, 33);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TColorsform::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TColorsform::FormActivate() {
  ShowLabelColours();
  scheme_.FormActivate(app_);
  colorgrid_->setRowCount(static_cast<int>(scheme_.RowTexts.size()));
  colorgrid_->setColumnWidth(1, 50);
  for (std::size_t row = 0; row < scheme_.RowTexts.size(); ++row) {
    colorgrid_->setItem(static_cast<int>(row), 0,
                        new QTableWidgetItem(QString::fromStdString(scheme_.RowTexts[row])));
    colorgrid_->setItem(static_cast<int>(row), 1, new QTableWidgetItem());
  }
}

void TColorsform::ShowLabelColours() {
  SetTextColour(hilitetext_, app_.Settings.HiliteColour);
  SetTextColour(withheighttext_, app_.Settings.WithHeightColour);
  SetTextColour(noheighttext_, app_.Settings.NoHeightColour);
}

bool TColorsform::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseButtonDblClick) return QDialog::eventFilter(watched, event);
  if (watched == hilitetext_)
    scheme_.HilitetextDblClick(app_, dialogs_);
  else if (watched == withheighttext_)
    scheme_.withheighttextDblClick(app_, dialogs_);
  else if (watched == noheighttext_)
    scheme_.noheighttextDblClick(app_, dialogs_);
  ShowLabelColours();
  return true;
}

}  // namespace terrak
