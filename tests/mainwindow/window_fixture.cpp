#include "mainwindow/window_fixture.h"

#include "mainwindow/map_paint.h"
#include "mainwindow/symbol_selection.h"

namespace terrak::testing {

void WindowFixture::Paint() {
  Canvas.Calls.clear();
  FormPaint(Window);
}

void WindowFixture::ShowMap(std::initializer_list<TSelectedSymbol> symbols) {
  App.Model.SelectedSymbols.assign(symbols.begin(), symbols.end());
  App.Model.SymbolsSelected = true;
  App.Model.MapZoom = 4;
  App.Window.OpenMapName = Folder.File("map.ocd");
  App.Model.MapFileName = App.Window.OpenMapName;
  EnableDrawingItems(App.Menu, true);
}

void WindowFixture::SelectAllSymbols() {
  SymbolSelection dialog;
  dialog.FormCreate(App.Model);
  dialog.IncAllBtnClick();
  dialog.OKBtnClick(App.Model, App.Settings, Dialogs);
}

}  // namespace terrak::testing
