#include "mainwindow/whole_map_paint.h"

#include <new>
#include <stdexcept>

#include "mainwindow/map_window.h"
#include "mapfile/model_units.h"
#include "platform/picture_painter.h"

namespace terrak {

namespace {

bool SameView(const PictureView& a, const PictureView& b) {
  return a.Left == b.Left && a.Top == b.Top && a.PixelsPerMicrometre == b.PixelsPerMicrometre &&
         a.Width == b.Width && a.Height == b.Height && a.Background == b.Background;
}

void Tell(MapWindow& w, const std::string& problem) {
  WholeMapState& whole = w.App.WholeMap;
  if (problem == whole.ProblemTold) return;
  whole.ProblemTold = problem;
  w.Host.ShowStatusMessage("The whole map cannot be drawn: " + problem);
}

}  // namespace

PictureView WholeMapViewOf(const MapWindowState& view, std::int32_t mapOffsetX,
                           std::int32_t mapOffsetY, double micrometresPerUnit, std::int32_t width,
                           std::int32_t height) {
  const double upp = view.UnitsPerPixel;
  PictureView picture;
  picture.Left = (mapOffsetX - (view.HalfWidth + 0.5) * upp) * micrometresPerUnit;
  picture.Top = (mapOffsetY + (view.HalfHeight + 0.5) * upp) * micrometresPerUnit;
  picture.PixelsPerMicrometre = 1.0 / (upp * micrometresPerUnit);
  picture.Width = width;
  picture.Height = height;
  picture.Background = kWhite;
  return picture;
}

void PaintWholeMap(MapWindow& w) {
  AppState& app = w.App;
  PicturePainter* painter = w.Host.MapPainter();
  if (!app.WholeMap.Shown || painter == nullptr) return;
  WholeMapState& whole = app.WholeMap;
  const double micrometresPerUnit = kPaperMicrometresPerModelUnit;
  // Drawn finely enough for the closest zoom, one model unit a pixel.
  const mapdraw::MapPicture* drawn =
      whole.Drawing.For(app.Paths.WorkingCopy, 1.0 / micrometresPerUnit);
  if (drawn == nullptr) return Tell(w, whole.Drawing.Problem());
  const PictureView view =
      WholeMapViewOf(app.Window, app.Model.MapOffsetX, app.Model.MapOffsetY, micrometresPerUnit,
                     w.Picture.Width(), w.Picture.Height());
  if (view.Width <= 0 || view.Height <= 0) return;
  if (!whole.Painted || whole.PaintedGeneration != whole.Drawing.Generation() ||
      !SameView(whole.PaintedView, view)) {
    whole.Painted = false;
    try {
      painter->Paint(drawn->Picture, view, whole.Pixels);
    } catch (const std::runtime_error& e) {
      return Tell(w, e.what());
    } catch (const std::bad_alloc&) {
      return Tell(w, "there is too little memory to paint it");
    }
    whole.Painted = true;
    whole.PaintedView = view;
    whole.PaintedGeneration = whole.Drawing.Generation();
  }
  whole.ProblemTold.clear();
  w.Picture.DrawPixels(view.Width, view.Height, whole.Pixels);
}

}  // namespace terrak
