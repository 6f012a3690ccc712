// terrak-cli map: the whole map in its own colours, every object drawn with its symbol, into a
// PNG or a 24-bit bitmap at a resolution of paper.
#include <cstdio>
#include <ostream>

#include "cli/arguments.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "mapdraw/map_drawing.h"
#include "mapfile/drawing_source.h"
#include "mapdraw/picture_frame.h"
#include "platform/file_stream.h"
#include "platform/picture_painter.h"
#include "viewer/picture_output.h"

namespace terrak::cli {

namespace {

// zlib's level for the map's PNG: a map is mostly runs of flat colour, which level 2 packs
// within a twentieth of the default level's size in less than half its time.
constexpr int kMapPngLevel = 2;

// Notes about damaged symbol definitions: this many are shown, then how many more there were.
constexpr std::size_t kNotesShown = 10;

std::string Millimetres(double micrometres) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", micrometres / 1000);
  return text;
}

std::unique_ptr<PicturePainter> MakePainter() {
#ifdef TERRAK_HAVE_QT_IMAGE
  return MakeProgramPicturePainter();
#else
  return nullptr;
#endif
}

}  // namespace

int MapCommand(const MapOptions& o, RunContext& run) {
  DrawingSource source;
  try {
    source = ReadDrawingSource(ReadWholeFile(o.MapFile), o.MapFile);
  } catch (const MapFormatError& e) {
    run.Err.Line(std::string(e.what()) + " (" + e.Detail() + ")");
    return kExitFailure;
  }
  const std::vector<std::string>& notes = source.Definitions.Notes;
  for (std::size_t i = 0; i < notes.size() && i < kNotesShown; ++i)
    run.Err.Line("terrak-cli: note: " + notes[i]);
  if (notes.size() > kNotesShown)
    run.Err.Line("terrak-cli: note: and " + std::to_string(notes.size() - kNotesShown) +
                 " more notes about the symbols");

  const double pixelsPerMicrometre = o.Dpi / mapdraw::kMicrometresPerInch;
  mapdraw::DrawOptions options;
  options.Tolerance = mapdraw::ToleranceFor(pixelsPerMicrometre);
  const mapdraw::MapPicture drawn = mapdraw::DrawMap(source.Definitions, source.Objects, options);
  if (drawn.Truncated)
    run.Err.Line("terrak-cli: note: the map's symbols would draw more than a picture holds "
                 "(8 million points); what follows is left out");
  if (drawn.UndefinedObjects > 0)
    run.Err.Line("terrak-cli: note: " + std::to_string(drawn.UndefinedObjects) +
                 " objects of symbols the map does not define are not drawn");
  const std::unique_ptr<PicturePainter> painter = MakePainter();
  if (!painter) {
    run.Err.Line("terrak-cli: this build has no painter for pictures (it was built without Qt)");
    return kExitFailure;
  }
  const mapdraw::Box extent = mapdraw::DrawnExtent(drawn, painter->TextBounds(drawn.Picture));
  if (extent.Empty()) {
    run.Err.Line("terrak-cli: the map has no objects to draw");
    return kExitFailure;
  }
  const mapdraw::PictureFrame frame = mapdraw::FrameFor(extent, o.Dpi);
  if (frame.TooLarge) {
    run.Err.Line("terrak-cli: the picture would be " + std::to_string(frame.Width) + " x " +
                 std::to_string(frame.Height) +
                 " pixels, more than 16384 a side or 268 million in all; give a lower --dpi");
    return kExitFailure;
  }
  Picture picture;
  picture.Width = frame.View.Width;
  picture.Height = frame.View.Height;
  painter->Paint(drawn.Picture, frame.View, picture.Pixels);
  ReplaceFileAtomically(o.Out, o.Png ? EncodePng(picture, kMapPngLevel) : EncodeBmp24(picture));
  const double right = frame.View.Left + frame.View.Width / pixelsPerMicrometre;
  const double bottom = frame.View.Top - frame.View.Height / pixelsPerMicrometre;
  run.Out << "map " << o.Out << " " << picture.Width << "x" << picture.Height << " pixels at "
          << ShortestNumberText(o.Dpi) << " dpi, paper x " << Millimetres(frame.View.Left)
          << " to " << Millimetres(right) << " mm, y " << Millimetres(bottom) << " to "
          << Millimetres(frame.View.Top) << " mm (" << source.FormatName << ", "
          << drawn.DrawnObjects << " objects)\n";
  return kExitSuccess;
}

}  // namespace terrak::cli
