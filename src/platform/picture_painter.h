#pragma once
// Executing a vector picture into pixels: the platform's painter draws its shapes, lines and
// texts antialiased. The core decides what a picture holds; only this draws it.
#include <memory>
#include <string>
#include <vector>

#include "common/colour.h"
#include "platform/vector_picture.h"

namespace terrak {

class PicturePainter {
 public:
  virtual ~PicturePainter() = default;
  // Draws the picture's view into pixels: view.Width x view.Height colours, rows from the top,
  // the background first. Throws std::runtime_error naming the reason when the painter cannot
  // be used, std::bad_alloc when memory runs out.
  virtual void Paint(const VectorPicture& picture, const PictureView& view,
                     std::vector<Colour>& pixels) = 0;
  // Where each of the picture's texts lies on the paper with its letters set (Texts' order):
  // only the platform knows its fonts.
  virtual std::vector<PictureBox> TextBounds(const VectorPicture& picture) = 0;
};

// The painter of the image module (terrak-qtimage.so, Qt Gui's) for programs without windows,
// from the first of candidates that exists, opened on the first picture.
std::unique_ptr<PicturePainter> MakeModulePicturePainter(std::vector<std::string> candidates);
// The same from the program's module: beside the executable, installed or in the build tree.
std::unique_ptr<PicturePainter> MakeProgramPicturePainter();

}  // namespace terrak
