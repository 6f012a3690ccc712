#include "mainwindow/symbol_selection.h"

#include "common/numtext.h"
#include "mapfile/settings_io.h"

namespace terrak {

void SymbolSelection::FormCreate(const MapModel& model) {
  if (SrcList.Empty() && DstList.Empty()) FillSymbolLists(model);
}

void SymbolSelection::FillSymbolLists(const MapModel& model) {
  for (const TmapSymbol& symbol : model.SymbolList) {
    bool selected = false;
    for (const TSelectedSymbol& s : model.SelectedSymbols) selected = selected || s.Symbol == symbol.Symbol;
    (selected ? DstList : SrcList).Add(symbol.Text, symbol.Symbol);
  }
}

void SymbolSelection::MoveSelected(SortedList& list, SortedList& destination) {
  for (std::size_t i = list.Count(); i-- > 0;) {
    if (!list[i].Selected) continue;
    destination.Add(list[i].Text, list[i].Symbol);
    list.Delete(i);
  }
}

int SymbolSelection::GetFirstSelection(const SortedList& list) {
  for (std::size_t i = 0; i < list.Count(); ++i)
    if (list[i].Selected) return static_cast<int>(i);
  return -1;
}

void SymbolSelection::SetItem(ListId id, int index) {
  SortedList& list = List(id);
  HasFocus = true;
  FocusedList = id;
  if (!list.Empty()) {
    if (index < 0) index = 0;
    if (static_cast<std::size_t>(index) >= list.Count()) index = static_cast<int>(list.Count()) - 1;
    list.Select(static_cast<std::size_t>(index), true);
  }
  SetButtons();
}

void SymbolSelection::SetButtons() {
  IncludeEnabled = IncAllEnabled = !SrcList.Empty();
  ExcludeEnabled = ExAllEnabled = !DstList.Empty();
}

void SymbolSelection::IncludeBtnClick() {
  const int first = GetFirstSelection(SrcList);
  MoveSelected(SrcList, DstList);
  SetItem(ListId::Src, first);
}

void SymbolSelection::ExcludeBtnClick() {
  const int first = GetFirstSelection(DstList);
  MoveSelected(DstList, SrcList);
  SetItem(ListId::Dst, first);
}

void SymbolSelection::IncAllBtnClick() {
  for (const ListItem& item : SrcList.Items()) DstList.Add(item.Text, item.Symbol);
  SrcList.Clear();
  SetItem(ListId::Src, 0);
}

void SymbolSelection::ExcAllBtnClick() {
  for (const ListItem& item : DstList.Items()) SrcList.Add(item.Text, item.Symbol);
  DstList.Clear();
  SetItem(ListId::Dst, 0);
}

void SymbolSelection::OKBtnClick(MapModel& model, const Settings& settings,
                                 UserDialogs& dialogs) const {
  model.SelectedSymbols.clear();
  if (DstList.Empty()) {
    model.SymbolsSelected = false;
    return;
  }
  // Each item keeps the number of the symbol it was made from, so the number is exact for
  // every length of number text.
  for (const ListItem& item : DstList.Items()) {
    const std::optional<Colour> colour = LookUpSymbolColour(settings, item.Symbol);
    if (!colour)
      dialogs.Message("The colour stored for symbol " + FormatFixed(item.Symbol / 10.0, 0, 1) +
                          " in the settings is not a colour; black is used instead.",
                      MessageType::Warning, static_cast<unsigned>(DialogButton::Ok));
    model.SelectedSymbols.push_back({item.Symbol, colour.value_or(kBlack)});
  }
  model.SymbolsSelected = true;
  model.MapModified = true;
}

}  // namespace terrak
