#pragma once
// The Canvas of a window: draws into the window's backing image. Inverted drawing (the dotted
// focus frame, lines in the inverting pen mode) flips pixels exactly, so drawing the same thing
// twice restores the picture.
#include <QFont>
#include <QImage>
#include <QPainter>
#include <memory>

#include "platform/canvas.h"

namespace terrak {

class ImageCanvas : public Canvas {
 public:
  ImageCanvas();
  ~ImageCanvas() override;

  // Draws into image from now on (nothing while null). The image is of Format_RGB32 and must
  // outlive its use here.
  void SetImage(QImage* image);
  // Finishes the drawing so the image can be shown or replaced; the next call starts again.
  void End();

  std::int32_t Width() const override;
  std::int32_t Height() const override;
  void SetPenColour(Colour colour) override;
  Colour PenColour() const override { return pen_; }
  void SetPenMode(PenMode mode) override { mode_ = mode; }
  void SetBrushColour(Colour colour) override { brush_ = colour; }
  Colour BrushColour() const override { return brush_; }
  void SetFont(const std::string& name, int size) override;
  void FillRect(const Rect& rect) override;
  void MoveTo(std::int32_t x, std::int32_t y) override;
  void LineTo(std::int32_t x, std::int32_t y) override;
  void Ellipse(const Rect& bounds) override;
  void Rectangle(const Rect& bounds) override;
  void Polygon(const std::vector<Point>& points) override;
  void TextOut(std::int32_t x, std::int32_t y, const std::string& text) override;
  void DrawFocusRect(const Rect& rect) override;
  void DrawPixels(std::int32_t width, std::int32_t height,
                  const std::vector<Colour>& pixels) override;

 private:
  QPainter* Painter();
  void PreparePenAndBrush(QPainter& painter, bool fill);
  void InvertPixel(std::int32_t x, std::int32_t y);

  QImage* image_ = nullptr;
  std::unique_ptr<QPainter> painter_;
  Colour pen_ = kBlack;
  Colour brush_ = kWhite;
  PenMode mode_ = PenMode::Normal;
  QFont font_;
  Point position_;
};

QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);

}  // namespace terrak
