#pragma once
// The height tag dialog: which tag of a Mapper map holds the contours' heights.
#include <QDialog>
#include <cstddef>
#include <optional>

#include "mainwindow/height_tag_choice.h"

class QListWidget;

namespace terrak {

class THeightTagForm : public QDialog {
  Q_OBJECT

 public:
  THeightTagForm(const HeightTagQuestion& question, QWidget* parent = nullptr);

  QListWidget* taglistbox() const { return taglistbox_; }
  // The chosen row once the dialog was accepted.
  std::optional<std::size_t> Chosen() const;

 private:
  QListWidget* taglistbox_;
};

}  // namespace terrak
