#include "platform/qt/image_canvas.h"

#include <QFontMetrics>
#include <QPolygon>
#include <algorithm>
#include <cstdlib>

namespace terrak {

QColor ToQColor(Colour colour) { return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)); }

Colour FromQColor(const QColor& colour) {
  return MakeColour(static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
                    static_cast<std::uint8_t>(colour.blue()));
}

ImageCanvas::ImageCanvas() : font_(QStringLiteral("System")) { font_.setPixelSize(13); }

ImageCanvas::~ImageCanvas() { End(); }

void ImageCanvas::SetImage(QImage* image) {
  End();
  image_ = image;
}

void ImageCanvas::End() {
  if (painter_) painter_->end();
  painter_.reset();
}

QPainter* ImageCanvas::Painter() {
  if (image_ == nullptr || image_->isNull()) return nullptr;
  if (!painter_) painter_ = std::make_unique<QPainter>(image_);
  return painter_.get();
}

std::int32_t ImageCanvas::Width() const { return image_ ? image_->width() : 0; }
std::int32_t ImageCanvas::Height() const { return image_ ? image_->height() : 0; }

void ImageCanvas::SetPenColour(Colour colour) { pen_ = colour; }

void ImageCanvas::SetFont(const std::string& name, int size) {
  font_ = QFont(QString::fromStdString(name), size);
}

void ImageCanvas::PreparePenAndBrush(QPainter& painter, bool fill) {
  painter.setCompositionMode(mode_ == PenMode::Invert ? QPainter::RasterOp_NotDestination
                                                      : QPainter::CompositionMode_SourceOver);
  painter.setPen(QPen(ToQColor(pen_), 0));
  painter.setBrush(fill ? QBrush(ToQColor(brush_)) : QBrush(Qt::NoBrush));
}

void ImageCanvas::FillRect(const Rect& rect) {
  if (QPainter* p = Painter()) {
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), ToQColor(brush_));
  }
}

void ImageCanvas::MoveTo(std::int32_t x, std::int32_t y) { position_ = {x, y}; }

void ImageCanvas::LineTo(std::int32_t x, std::int32_t y) {
  const Point from = position_;
  position_ = {x, y};
  if (mode_ == PenMode::Normal) {
    if (QPainter* p = Painter()) {
      PreparePenAndBrush(*p, false);
      p->drawLine(from.X, from.Y, x, y);
    }
    return;
  }
  // Inverting: every pixel of the line once, the end pixel left out, so lines that meet at a
  // corner do not flip it back.
  End();
  const std::int64_t dx = std::abs(static_cast<std::int64_t>(x) - from.X);
  const std::int64_t dy = -std::abs(static_cast<std::int64_t>(y) - from.Y);
  const int sx = from.X < x ? 1 : -1;
  const int sy = from.Y < y ? 1 : -1;
  std::int64_t error = dx + dy;
  std::int64_t cx = from.X, cy = from.Y;
  // Each step moves x, y or both one pixel nearer the end: dx - dy steps at most.
  for (std::int64_t steps = dx - dy; (cx != x || cy != y) && steps > 0; --steps) {
    InvertPixel(static_cast<std::int32_t>(cx), static_cast<std::int32_t>(cy));
    const std::int64_t e2 = 2 * error;
    if (e2 >= dy) error += dy, cx += sx;
    if (e2 <= dx) error += dx, cy += sy;
  }
}

void ImageCanvas::Ellipse(const Rect& bounds) {
  if (QPainter* p = Painter()) {
    PreparePenAndBrush(*p, true);
    p->drawEllipse(QRect(bounds.Left, bounds.Top, bounds.Width() - 1, bounds.Height() - 1));
  }
}

void ImageCanvas::Rectangle(const Rect& bounds) {
  if (QPainter* p = Painter()) {
    PreparePenAndBrush(*p, true);
    p->drawRect(QRect(bounds.Left, bounds.Top, bounds.Width() - 1, bounds.Height() - 1));
  }
}

void ImageCanvas::Polygon(const std::vector<Point>& points) {
  if (QPainter* p = Painter()) {
    PreparePenAndBrush(*p, true);
    QPolygon polygon;
    for (const Point& point : points) polygon << QPoint(point.X, point.Y);
    p->drawPolygon(polygon);
  }
}

void ImageCanvas::TextOut(std::int32_t x, std::int32_t y, const std::string& text) {
  if (QPainter* p = Painter()) {
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setFont(font_);
    const QString qtext = QString::fromStdString(text);
    const QFontMetrics metrics(font_);
    p->fillRect(QRect(x, y, metrics.horizontalAdvance(qtext), metrics.height()), ToQColor(brush_));
    p->setPen(QPen(Qt::black));
    p->drawText(x, y + metrics.ascent(), qtext);
  }
}

void ImageCanvas::InvertPixel(std::int32_t x, std::int32_t y) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
  line[x] ^= 0x00FFFFFFu;
}

void ImageCanvas::DrawFocusRect(const Rect& rect) {
  if (image_ == nullptr || rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  End();
  // Every other pixel of the frame, by a fixed pattern, each pixel once.
  const auto dot = [this](std::int32_t x, std::int32_t y) {
    if (((x + y) & 1) == 0) InvertPixel(x, y);
  };
  const std::int32_t right = rect.Right - 1, bottom = rect.Bottom - 1;
  for (std::int32_t x = rect.Left; x <= right; ++x) {
    dot(x, rect.Top);
    if (bottom != rect.Top) dot(x, bottom);
  }
  for (std::int32_t y = rect.Top + 1; y < bottom; ++y) {
    dot(rect.Left, y);
    if (right != rect.Left) dot(right, y);
  }
}

void ImageCanvas::DrawPixels(std::int32_t width, std::int32_t height,
                             const std::vector<Colour>& pixels) {
  if (image_ == nullptr || width <= 0 || height <= 0 ||
      pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return;
  End();
  const std::int32_t rows = std::min(height, image_->height());
  const std::int32_t columns = std::min(width, image_->width());
  for (std::int32_t y = 0; y < rows; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_->scanLine(y));
    const Colour* from = pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (std::int32_t x = 0; x < columns; ++x)
      line[x] = qRgb(RedOf(from[x]), GreenOf(from[x]), BlueOf(from[x]));
  }
}

}  // namespace terrak
