#pragma once
// The logic of the colour scheme dialog: one grid row per selected symbol with its colour, and
// the three colours of highlighted objects and of objects with and without an elevation. Every
// choice takes effect at once; Cancel undoes nothing.
#include <cstddef>
#include <string>
#include <vector>

#include "mainwindow/app_state.h"
#include "platform/user_dialogs.h"

namespace terrak {

class ColourScheme {
 public:
  // Column 0 of each row: the display text of the selected symbol of the same index.
  std::vector<std::string> RowTexts;

  void FormActivate(const AppState& app);
  // The swatch of column 1.
  static Colour RowColour(const AppState& app, std::size_t row);

  void ColorgridDblClick(AppState& app, UserDialogs& dialogs, std::size_t row);
  void HilitetextDblClick(AppState& app, UserDialogs& dialogs);
  void withheighttextDblClick(AppState& app, UserDialogs& dialogs);
  void noheighttextDblClick(AppState& app, UserDialogs& dialogs);

 private:
  // The colour dialog starts with black, then with the colour last chosen in it.
  bool ChooseColour(UserDialogs& dialogs, Colour& target);
  Colour dialogColour_ = kBlack;
};

}  // namespace terrak
