#pragma once
// Qt's painter for vector pictures: every item into a QImage, antialiased, then into the
// program's colours. Texts need a QGuiApplication (for the fonts); the GUI has one, the image
// module makes one for programs without windows.
#include <vector>

#include <QPainter>

#include "platform/picture_painter.h"

namespace terrak {

// Draws the view of the picture onto a painter's device (a window's backing image): view.Left
// and view.Top at the device's origin, its background left as it is.
void PaintPictureOnto(QPainter& painter, const VectorPicture& picture, const PictureView& view);

// Draws the view of the picture into pixels (view.Width x view.Height, rows from the top).
void PaintPictureWithQt(const VectorPicture& picture, const PictureView& view, Colour* pixels);

// The paper box of each of the picture's texts, its letters set in their font.
std::vector<PictureBox> MeasureTextsWithQt(const VectorPicture& picture);

class QtPicturePainter : public PicturePainter {
 public:
  void Paint(const VectorPicture& picture, const PictureView& view,
             std::vector<Colour>& pixels) override;
  std::vector<PictureBox> TextBounds(const VectorPicture& picture) override;
};

}  // namespace terrak
