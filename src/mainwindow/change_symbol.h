#pragma once
// The logic of the change symbol type dialog: the other selected symbols of the traced objects'
// type, and the OK step that gives every traced object the chosen symbol.
#include <cstddef>
#include <string>

#include "mainwindow/app_state.h"
#include "mainwindow/sorted_list.h"

namespace terrak {

class ChangeSymbolChoice {
 public:
  std::string Symbtochange;  // the caption "From": the picked symbol's display text
  SortedList symblistbox;

  // Every activation: rebuilds the list.
  void FormActivate(const AppState& app);
  // Remembers the clicked item's symbol in ChosenSymbol.
  void symblistboxClick(AppState& app, std::size_t index);
  // Writes ChosenSymbol into every traced object, in memory and in the working copy. Without a
  // click in this dialog nothing is written: the number left from an earlier use of the dialog,
  // or 0, is not a choice the user made now.
  void OKbuttonClick(AppState& app) const;

 private:
  bool clicked_ = false;
};

}  // namespace terrak
