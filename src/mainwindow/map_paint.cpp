#include "mainwindow/map_paint.h"

#include "common/numtext.h"
#include "mainwindow/along_line_mode.h"
#include "mainwindow/heights_commands.h"
#include "mainwindow/navigation.h"
#include "mainwindow/screen_points.h"
#include "mainwindow/tracing.h"
#include "mainwindow/view_transform.h"
#include "mainwindow/whole_map_paint.h"
#include "mapfile/open_format.h"

namespace terrak {

namespace {

struct WelcomeLine {
  int Dx;
  int Dy;
  const char* Text;
};

constexpr WelcomeLine kWelcomeLines[] = {
    {-70, -80, "Welcome to Terrak-7.0 "},
    {-50, -60, "an OCAD utility "},
    {-50, -40, "by the Terrak developers"},
    {-70, -20, "questions and reports: see README.md"},
    {-80, 0, "home: the Terrak source repository"},
    {-115, 60, "Open an OCAD map using File|Open"},
    {-135, 80, "then select the symbols you wish to display"},
    {-125, 100, "using Edit|Add symbols to map selection"},
};

// The state an object is previewed in, when a preview is shown and the object carries a height.
std::optional<heights::HeightState> PreviewedState(const AppState& app, std::size_t object) {
  if (!app.Heights.Preview || object >= app.Heights.Preview->States.size()) return std::nullopt;
  return app.Heights.Preview->States[object];
}

}  // namespace

void DrawWelcomeScreen(Canvas& canvas) {
  canvas.SetBrushColour(kWhite);
  canvas.FillRect({0, 0, canvas.Width(), canvas.Height()});
  canvas.SetFont("Times New Roman", 12);
  const std::int32_t cx = canvas.Width() / 2;
  const std::int32_t cy = canvas.Height() / 2;
  for (const WelcomeLine& line : kWelcomeLines) canvas.TextOut(cx + line.Dx, cy + line.Dy, line.Text);
}

bool MapShown(const AppState& app) {
  return app.Model.SymbolsSelected && app.Window.MapOpen();
}

void FormPaint(MapWindow& w) {
  AlongLineRepainted(w.App);
  if (!MapShown(w.App)) {
    DrawWelcomeScreen(w.Picture);
    return;
  }
  CancelZoomRect(w);
  CancelMoveView(w);
  w.Picture.SetBrushColour(kWhite);
  w.Picture.FillRect({0, 0, w.Picture.Width(), w.Picture.Height()});
  SetUpView(w.App.Window, w.App.Model, w.Picture.Width(), w.Picture.Height());
  PaintWholeMap(w);
  DrawMap(w);
}

std::optional<Colour> ObjectPenColour(const AppState& app, std::int32_t symbol, bool hasHeight) {
  if (app.Settings.ViewByHeight)
    return hasHeight ? app.Settings.WithHeightColour : app.Settings.NoHeightColour;
  for (const TSelectedSymbol& selected : app.Model.SelectedSymbols)
    if (selected.Symbol == symbol) return selected.Colour;
  return std::nullopt;
}

void DrawMap(MapWindow& w) {
  MapWindowState& view = w.App.Window;
  const MapModel& model = w.App.Model;
  for (const TSelectedSymbol& selected : model.SelectedSymbols) {
    for (std::size_t i = 0; i < model.MapObjects.size(); ++i) {
      const TMapObject& object = model.MapObjects[i];
      if (object.Symbol != selected.Symbol || !IsVisible(view, object)) continue;
      const TObjectCoords& coords = GetObjectCoords(model, i);
      const std::optional<heights::HeightState> previewed = PreviewedState(w.App, i);
      w.Picture.SetPenColour(previewed ? PreviewColour(*previewed)
                             : w.App.Settings.ViewByHeight
                                 ? *ObjectPenColour(w.App, object.Symbol, object.HasHeight)
                                 : selected.Colour);
      view.PointCount = 0;
      BuildScreenPoints(view, model, coords);
      DrawObjectOutline(view, coords.Kind, w.Picture);
    }
  }
  if (view.TraceExists) DrawTraceHighlight(w);
  UpdateStatusBar(w.App);
}

std::array<std::string, 5> StatusPanelTexts(const MapWindowState& view) {
  return {
      "Symbol " + SymbolNumberText(view.PickedSymbol, view.PickedSymbolScale, 6),
      "Selected " + FormatInt(view.PickCount, 3),
      "Objects " + FormatInt(view.TracedObjectCount, 5),
      "Zoom " + FormatFixed(16.0 / view.UnitsPerPixel, 4, 2) + "x",
      "Height " + FormatFixed(view.CurrentHeight / 10.0, 6, 1),
  };
}

std::array<std::string, 5> WidestStatusPanelTexts() {
  MapWindowState widest;
  widest.PickedSymbol = widest.CurrentHeight = -32768;
  widest.PickCount = widest.TracedObjectCount = 32767;
  widest.UnitsPerPixel = 1;
  return StatusPanelTexts(widest);
}

void UpdateStatusBar(AppState& app) {
  app.StatusBar.Panels = StatusPanelTexts(app.Window);
  app.StatusBar.Visible = true;
}

}  // namespace terrak
