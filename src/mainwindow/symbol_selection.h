#pragma once
// The logic of the symbol selection dialog: two sorted lists of symbols (on the map, and to be
// displayed), the four move buttons and the OK step that rebuilds SelectedSymbols.
#include <cstddef>

#include "mainwindow/sorted_list.h"
#include "mapfile/map_model.h"
#include "mapfile/settings.h"
#include "platform/user_dialogs.h"

namespace terrak {

class SymbolSelection {
 public:
  enum class ListId { Src, Dst };

  SortedList SrcList;  // symbols not chosen
  SortedList DstList;  // symbols chosen
  // The states of the form until the first move recomputes them.
  bool IncludeEnabled = true;
  bool IncAllEnabled = true;
  bool ExcludeEnabled = false;
  bool ExAllEnabled = false;
  // The list that SetItem last gave the keyboard focus, if any.
  bool HasFocus = false;
  ListId FocusedList = ListId::Src;

  // Every activation: fills the lists the first time only, keeping the user's moves after.
  void FormCreate(const MapModel& model);
  void IncludeBtnClick();
  void ExcludeBtnClick();
  void IncAllBtnClick();
  void ExcAllBtnClick();
  // Rebuilds SelectedSymbols from DstList with each symbol's colour from the settings file.
  void OKBtnClick(MapModel& model, const Settings& settings, UserDialogs& dialogs) const;

  SortedList& List(ListId id) { return id == ListId::Src ? SrcList : DstList; }

 private:
  void FillSymbolLists(const MapModel& model);
  static void MoveSelected(SortedList& list, SortedList& destination);
  static int GetFirstSelection(const SortedList& list);
  void SetItem(ListId id, int index);
  void SetButtons();
};

}  // namespace terrak
