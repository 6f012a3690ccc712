#pragma once
// The Check Heights list: every contradiction among the heights with its reason; Next and
// Previous (or a click on a row) centre the map on one. Not modal, so the user can mend heights
// with the list open.
#include <QDialog>
#include <functional>
#include <vector>

#include "heights/check_heights.h"

class QListWidget;
class QPushButton;

namespace terrak {

class TCheckHeightsForm : public QDialog {
  Q_OBJECT

 public:
  // step: Next (1) and Previous (-1); show: a row clicked. Both run in the main window.
  TCheckHeightsForm(std::function<void(int)> step, std::function<void(int)> show,
                    QWidget* parent = nullptr);

  void ShowFindings(const std::vector<heights::Finding>& findings);
  // Marks the row of the finding shown.
  void MarkCurrent(int index);

  QListWidget* FindingList() const { return list_; }
  QPushButton* NextBtn() const { return next_; }
  QPushButton* PreviousBtn() const { return previous_; }

 private:
  QListWidget* list_;
  QPushButton* next_;
  QPushButton* previous_;
  bool marking_ = false;
};

}  // namespace terrak
