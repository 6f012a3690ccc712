#include "mainwindow/change_symbol.h"

#include "mapfile/map_writer.h"

namespace terrak {

void ChangeSymbolChoice::FormActivate(const AppState& app) {
  symblistbox.Clear();
  const MapModel& model = app.Model;
  for (const TmapSymbol& symbol : model.SymbolList) {
    if (symbol.Kind != app.Window.PickedKind) continue;
    bool selected = false;
    for (const TSelectedSymbol& s : model.SelectedSymbols) selected = selected || s.Symbol == symbol.Symbol;
    if (!selected) continue;
    if (symbol.Symbol != app.Window.PickedSymbol)
      symblistbox.Add(symbol.Text, symbol.Symbol);
    else
      Symbtochange = symbol.Text;
  }
}

void ChangeSymbolChoice::symblistboxClick(AppState& app, std::size_t index) {
  if (index >= symblistbox.Count()) return;
  for (std::size_t i = 0; i < symblistbox.Count(); ++i) symblistbox.Select(i, i == index);
  app.ChosenSymbol = symblistbox[index].Symbol;
  clicked_ = true;
}

void ChangeSymbolChoice::OKbuttonClick(AppState& app) const {
  if (!clicked_) return;
  WriteObjectSymbols(app.Model, app.Paths.WorkingCopy, app.Window.TracedObjects,
                     app.ChosenSymbol);
  app.Model.MapModified = true;
}

}  // namespace terrak
