#include "platform/qt/qt_picture_painter.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace terrak {

namespace {

// Letters are laid out at this pixel size and their outlines scaled to the text's size, so
// their shapes do not depend on the screen's hinting.
constexpr int kLayoutPixelSize = 256;

class Device {
 public:
  explicit Device(const PictureView& view) : view_(view) {}
  QPointF Map(const PicturePoint& p) const {
    return {(p.X - view_.Left) * view_.PixelsPerMicrometre,
            (view_.Top - p.Y) * view_.PixelsPerMicrometre};
  }
  double Scale() const { return view_.PixelsPerMicrometre; }
  // The paper box the image shows, a little wider so that nothing touching its edge is lost.
  PictureBox Visible() const {
    const double margin = 2 / view_.PixelsPerMicrometre;
    return {static_cast<float>(view_.Left - margin),
            static_cast<float>(view_.Top - view_.Height / view_.PixelsPerMicrometre - margin),
            static_cast<float>(view_.Left + view_.Width / view_.PixelsPerMicrometre + margin),
            static_cast<float>(view_.Top + margin)};
  }

 private:
  const PictureView& view_;
};

QPainterPath PathOf(const VectorPicture& picture, std::uint32_t firstPart, std::uint32_t count,
                    const Device& device) {
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  for (std::uint32_t i = firstPart; i < firstPart + count && i < picture.Parts.size(); ++i) {
    const PicturePart& part = picture.Parts[i];
    if (part.Count == 0 || std::size_t{part.First} + part.Count > picture.Points.size()) continue;
    path.moveTo(device.Map(picture.Points[part.First]));
    for (std::uint32_t k = 1; k < part.Count; ++k)
      path.lineTo(device.Map(picture.Points[part.First + k]));
    if (part.Closed) path.closeSubpath();
  }
  return path;
}

// Strokes are rasterised in batches no taller than this many pixels: Qt's rasteriser walks a
// path's whole outline again for every band of scanlines its memory holds, so one path across
// the whole picture costs many times more than the same lines stroked a band at a time.
constexpr double kStrokeBatchHeight = 128;

// Strokes the item's parts, gathered into paths of parts that lie close together vertically.
void StrokeInBatches(QPainter& painter, const VectorPicture& picture, const PictureItem& item,
                     const Device& device, const QPen& pen) {
  QPainterPath batch;
  double top = 0, bottom = 0;
  for (std::uint32_t i = item.FirstPart; i < item.FirstPart + item.PartCount && i < picture.Parts.size();
       ++i) {
    const PicturePart& part = picture.Parts[i];
    if (part.Count == 0 || std::size_t{part.First} + part.Count > picture.Points.size()) continue;
    QPainterPath path;
    path.moveTo(device.Map(picture.Points[part.First]));
    for (std::uint32_t k = 1; k < part.Count; ++k)
      path.lineTo(device.Map(picture.Points[part.First + k]));
    if (part.Closed) path.closeSubpath();
    const QRectF box = path.controlPointRect();
    const double newTop = batch.isEmpty() ? box.top() : std::min(top, box.top());
    const double newBottom = batch.isEmpty() ? box.bottom() : std::max(bottom, box.bottom());
    if (!batch.isEmpty() && newBottom - newTop > kStrokeBatchHeight) {
      painter.strokePath(batch, pen);
      batch = QPainterPath();
      top = box.top();
      bottom = box.bottom();
    } else {
      top = newTop;
      bottom = newBottom;
    }
    batch.addPath(path);
  }
  if (!batch.isEmpty()) painter.strokePath(batch, pen);
}

Qt::PenCapStyle CapOf(StrokeCap cap) {
  switch (cap) {
    case StrokeCap::Round:
      return Qt::RoundCap;
    case StrokeCap::Square:
      return Qt::SquareCap;
    default:
      return Qt::FlatCap;
  }
}

Qt::PenJoinStyle JoinOf(StrokeJoin join) {
  switch (join) {
    case StrokeJoin::Round:
      return Qt::RoundJoin;
    case StrokeJoin::Bevel:
      return Qt::BevelJoin;
    default:
      return Qt::MiterJoin;
  }
}

QColor ColourOf(const PictureItem& item) {
  return QColor(RedOf(item.Rgb), GreenOf(item.Rgb), BlueOf(item.Rgb), item.Alpha);
}

// The letters' outlines of a text in device pixels, laid out line by line: the anchor's line
// on the baseline, at the top, the centre or the bottom of the text, each line aligned left,
// centred or right of the anchor (or of the box).
QPainterPath TextPath(const PictureText& text, const Device& device) {
  QFont font(QString::fromUtf8(text.Family.data(), static_cast<qsizetype>(text.Family.size())));
  font.setPixelSize(kLayoutPixelSize);
  font.setBold(text.Bold);
  font.setItalic(text.Italic);
  font.setUnderline(text.Underline);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(text.Kerning);
  font.setStyleStrategy(QFont::ForceOutline);
  if (text.CharacterSpacing != 0) {
    const QFontMetricsF plain(font);
    font.setLetterSpacing(QFont::AbsoluteSpacing,
                          plain.horizontalAdvance(QLatin1Char(' ')) * text.CharacterSpacing);
  }
  const QFontMetricsF metrics(font);
  const double unit = text.Size / kLayoutPixelSize;  // micrometres per layout pixel
  if (!(unit > 0)) return {};
  const double lineSpacing = text.AbsoluteLineSpacing > 0
                                 ? text.AbsoluteLineSpacing / unit
                                 : text.LineSpacing * metrics.lineSpacing();
  const double paragraphSpacing = text.ParagraphSpacing / unit;
  const double boxWidth = text.BoxWidth / unit;
  const double boxHeight = text.BoxHeight / unit;
  const QStringList lines = QString::fromUtf8(text.Text.data(), static_cast<qsizetype>(text.Text.size()))
                                .split(QLatin1Char('\n'));

  double top = 0;
  if (text.VAlign == TextAnchorV::Top || text.VAlign == TextAnchorV::Baseline) top -= boxHeight / 2;
  if (text.VAlign != TextAnchorV::Baseline) top += metrics.ascent();
  const double height =
      metrics.ascent() + static_cast<double>(lines.size() - 1) * (lineSpacing + paragraphSpacing);
  if (text.VAlign == TextAnchorV::Centre) top -= height / 2;
  if (text.VAlign == TextAnchorV::Bottom) top += boxHeight / 2 - height;

  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  double y = top;
  for (const QString& line : lines) {
    const double width = metrics.horizontalAdvance(line);
    double x = 0;
    switch (text.HAlign) {
      case TextAnchorH::Left:
        x = -boxWidth / 2;
        break;
      case TextAnchorH::Centre:
        x = -width / 2;
        break;
      case TextAnchorH::Right:
        x = boxWidth / 2 - width;
        break;
    }
    path.addText(x, y, font, line);
    y += lineSpacing + paragraphSpacing;
  }
  const QPointF anchor = device.Map(text.Anchor);
  QTransform transform;
  transform.translate(anchor.x(), anchor.y());
  transform.rotate(-text.Rotation * 180.0 / std::numbers::pi);
  transform.scale(unit * device.Scale(), unit * device.Scale());
  return transform.map(path);
}

}  // namespace

void PaintPictureOnto(QPainter& painter, const VectorPicture& picture, const PictureView& view) {
  const Device device(view);
  const PictureBox visible = device.Visible();
  const bool canSetText = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
  {
    std::int32_t clip = -1;
    for (const PictureItem& item : picture.Items) {
      if (!item.Bounds.Meets(visible)) continue;
      if (item.Clip != clip) {
        clip = item.Clip;
        if (clip >= 0 && static_cast<std::size_t>(clip) < picture.Clips.size()) {
          const PictureClip& region = picture.Clips[static_cast<std::size_t>(clip)];
          painter.setClipPath(PathOf(picture, region.FirstPart, region.PartCount, device));
        } else {
          painter.setClipping(false);
        }
      }
      const QColor colour = ColourOf(item);
      switch (item.Type) {
        case PictureItem::Kind::Fill:
          painter.fillPath(PathOf(picture, item.FirstPart, item.PartCount, device), colour);
          break;
        case PictureItem::Kind::FillUnion: {
          QPainterPath path = PathOf(picture, item.FirstPart, item.PartCount, device);
          path.setFillRule(Qt::WindingFill);
          painter.fillPath(path, colour);
          break;
        }
        case PictureItem::Kind::Stroke: {
          QPen pen(colour, item.Width * device.Scale(), Qt::SolidLine, CapOf(item.Cap),
                   JoinOf(item.Join));
          pen.setMiterLimit(item.MiterLimit);
          StrokeInBatches(painter, picture, item, device, pen);
          break;
        }
        case PictureItem::Kind::Text:
        case PictureItem::Kind::TextOutline: {
          if (!canSetText || item.TextIndex >= picture.Texts.size()) break;
          const QPainterPath letters = TextPath(picture.Texts[item.TextIndex], device);
          if (item.Type == PictureItem::Kind::Text) {
            painter.fillPath(letters, colour);
          } else {
            QPen pen(colour, item.Width * device.Scale(), Qt::SolidLine, Qt::FlatCap,
                     Qt::MiterJoin);
            pen.setMiterLimit(0.5);
            painter.strokePath(letters, pen);
          }
          break;
        }
      }
    }
  }
  painter.restore();
}

void PaintPictureWithQt(const VectorPicture& picture, const PictureView& view, Colour* pixels) {
  QImage image(view.Width, view.Height, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) throw std::bad_alloc();
  image.fill(QColor(RedOf(view.Background), GreenOf(view.Background), BlueOf(view.Background)));
  {
    QPainter painter(&image);
    PaintPictureOnto(painter, picture, view);
  }
  for (std::int32_t y = 0; y < view.Height; ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    Colour* out = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(view.Width);
    for (std::int32_t x = 0; x < view.Width; ++x) {
      const QRgb p = row[x];  // opaque: the background was
      out[x] = MakeColour(static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
                          static_cast<std::uint8_t>(qBlue(p)));
    }
  }
}

std::vector<PictureBox> MeasureTextsWithQt(const VectorPicture& picture) {
  // One device pixel a micrometre, the paper's origin at the device's: y only turns round.
  PictureView paper;
  paper.PixelsPerMicrometre = 1;
  const Device device(paper);
  std::vector<PictureBox> boxes;
  boxes.reserve(picture.Texts.size());
  const bool canSetText = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
  for (const PictureText& text : picture.Texts) {
    const QRectF r = canSetText ? TextPath(text, device).boundingRect() : QRectF();
    if (r.isEmpty()) {
      boxes.push_back({text.Anchor.X, text.Anchor.Y, text.Anchor.X, text.Anchor.Y});
      continue;
    }
    boxes.push_back({static_cast<float>(r.left()), static_cast<float>(-r.bottom()),
                     static_cast<float>(r.right()), static_cast<float>(-r.top())});
  }
  return boxes;
}

std::vector<PictureBox> QtPicturePainter::TextBounds(const VectorPicture& picture) {
  return MeasureTextsWithQt(picture);
}

void QtPicturePainter::Paint(const VectorPicture& picture, const PictureView& view,
                             std::vector<Colour>& pixels) {
  pixels.assign(static_cast<std::size_t>(view.Width) * static_cast<std::size_t>(view.Height),
                view.Background);
  PaintPictureWithQt(picture, view, pixels.data());
}

}  // namespace terrak
