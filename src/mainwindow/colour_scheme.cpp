#include "mainwindow/colour_scheme.h"

namespace terrak {

void ColourScheme::FormActivate(const AppState& app) {
  const MapModel& model = app.Model;
  RowTexts.assign(model.SelectedSymbols.size(), std::string());
  for (const TmapSymbol& symbol : model.SymbolList)
    for (std::size_t i = 0; i < model.SelectedSymbols.size(); ++i)
      if (model.SelectedSymbols[i].Symbol == symbol.Symbol) RowTexts[i] = symbol.Text;
}

Colour ColourScheme::RowColour(const AppState& app, std::size_t row) {
  const auto& selected = app.Model.SelectedSymbols;
  return row < selected.size() ? selected[row].Colour : kBlack;
}

bool ColourScheme::ChooseColour(UserDialogs& dialogs, Colour& target) {
  const std::optional<Colour> chosen = dialogs.ChooseColour(dialogColour_);
  if (!chosen) return false;
  dialogColour_ = *chosen;
  target = *chosen;
  return true;
}

void ColourScheme::ColorgridDblClick(AppState& app, UserDialogs& dialogs, std::size_t row) {
  Colour chosen = kBlack;
  if (!ChooseColour(dialogs, chosen)) return;
  if (row < app.Model.SelectedSymbols.size()) app.Model.SelectedSymbols[row].Colour = chosen;
}

void ColourScheme::HilitetextDblClick(AppState& app, UserDialogs& dialogs) {
  ChooseColour(dialogs, app.Settings.HiliteColour);
}

void ColourScheme::withheighttextDblClick(AppState& app, UserDialogs& dialogs) {
  ChooseColour(dialogs, app.Settings.WithHeightColour);
}

void ColourScheme::noheighttextDblClick(AppState& app, UserDialogs& dialogs) {
  ChooseColour(dialogs, app.Settings.NoHeightColour);
}

}  // namespace terrak
