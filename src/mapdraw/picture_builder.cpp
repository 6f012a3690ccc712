#include "mapdraw/picture_builder.h"

#include <algorithm>
#include <cmath>

namespace terrak::mapdraw {

namespace {

PicturePoint ToPicture(Vec2 p) { return {static_cast<float>(p.X), static_cast<float>(p.Y)}; }

double SignedArea(const std::vector<Vec2>& ring) {
  double area = 0;
  for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
    area += ring[j].Cross(ring[i]);
  return area / 2;
}

bool SamePen(const PictureItem& a, const PictureItem& b) {
  return a.Type == b.Type && a.Width == b.Width && a.Cap == b.Cap && a.Join == b.Join &&
         a.MiterLimit == b.MiterLimit && a.Clip == b.Clip;
}

void Widen(PictureBox& box, const Box& b, bool first) {
  const PictureBox add{static_cast<float>(b.MinX), static_cast<float>(b.MinY),
                       static_cast<float>(b.MaxX), static_cast<float>(b.MaxY)};
  if (first) {
    box = add;
    return;
  }
  box.MinX = std::min(box.MinX, add.MinX);
  box.MinY = std::min(box.MinY, add.MinY);
  box.MaxX = std::max(box.MaxX, add.MaxX);
  box.MaxY = std::max(box.MaxY, add.MaxY);
}

}  // namespace

PictureBuilder::PictureBuilder(const std::vector<MapColour>& colours)
    : colours_(colours), layers_(colours.size()), lastMerge_(colours.size(), Merge::Never) {}

PictureBuilder::Layer* PictureBuilder::LayerOf(ColourRef colour) {
  if (colour < 0 || static_cast<std::size_t>(colour) >= layers_.size()) return nullptr;
  const MapColour& c = colours_[static_cast<std::size_t>(colour)];
  if (c.Hidden || c.Opacity <= 0) return nullptr;
  return &layers_[static_cast<std::size_t>(colour)];
}

PictureItem& PictureBuilder::Open(Layer& layer, PictureItem prototype, Merge merge) {
  const auto index = static_cast<std::size_t>(&layer - layers_.data());
  if (merge != Merge::Never && lastMerge_[index] == merge && !layer.Items.empty() &&
      SamePen(layer.Items.back(), prototype))
    return layer.Items.back();
  lastMerge_[index] = merge;
  const MapColour& c = colours_[index];
  prototype.Rgb = MakeColour(c.Red, c.Green, c.Blue);
  prototype.Alpha = static_cast<std::uint8_t>(std::lround(255 * std::clamp(c.Opacity, 0.0f, 1.0f)));
  prototype.FirstPart = static_cast<std::uint32_t>(layer.Parts.size());
  prototype.PartCount = 0;
  layer.Items.push_back(prototype);
  return layer.Items.back();
}

void PictureBuilder::AddParts(Layer& layer, PictureItem& item, const std::vector<Polyline>& lines,
                              double grow) {
  Box box;
  for (const Polyline& line : lines) {
    if (line.Points.empty() || Full()) continue;
    points_ += line.Points.size();
    layer.Parts.push_back({static_cast<std::uint32_t>(layer.Points.size()),
                           static_cast<std::uint32_t>(line.Points.size()), line.Closed});
    for (const Vec2& p : line.Points) {
      layer.Points.push_back(ToPicture(p));
      box.Add(p);
    }
  }
  const bool first = item.PartCount == 0;
  item.PartCount = static_cast<std::uint32_t>(layer.Parts.size()) - item.FirstPart;
  if (!box.Empty()) Widen(item.Bounds, box.Grown(grow), first);
}

void PictureBuilder::Fill(ColourRef colour, const std::vector<Polyline>& rings, std::int32_t clip) {
  Layer* layer = LayerOf(colour);
  if (!layer || rings.empty()) return;
  PictureItem prototype;
  prototype.Type = PictureItem::Kind::Fill;
  prototype.Clip = clip;
  PictureItem& item = Open(*layer, prototype, Merge::Never);
  AddParts(*layer, item, rings, 0);
}

void PictureBuilder::FillShape(ColourRef colour, const Polyline& ring, std::int32_t clip) {
  Layer* layer = LayerOf(colour);
  if (!layer || ring.Points.size() < 3) return;
  PictureItem prototype;
  prototype.Type = PictureItem::Kind::FillUnion;
  prototype.Clip = clip;
  PictureItem& item = Open(*layer, prototype, Merge::Union);
  Polyline turned = ring;
  turned.Closed = true;
  if (SignedArea(turned.Points) < 0) std::reverse(turned.Points.begin(), turned.Points.end());
  AddParts(*layer, item, {turned}, 0);
}

void PictureBuilder::Stroke(ColourRef colour, const std::vector<Polyline>& lines, const Pen& pen,
                            std::int32_t clip) {
  Layer* layer = LayerOf(colour);
  if (!layer || lines.empty() || !(pen.Width > 0)) return;
  PictureItem prototype;
  prototype.Type = PictureItem::Kind::Stroke;
  prototype.Width = static_cast<float>(pen.Width);
  prototype.Cap = pen.Cap;
  prototype.Join = pen.Join;
  prototype.MiterLimit = static_cast<float>(pen.MiterLimit);
  prototype.Clip = clip;
  PictureItem& item = Open(*layer, prototype, Merge::SamePen);
  // A miter may reach past half the width; a square cap by the diagonal.
  AddParts(*layer, item, lines, pen.Width * std::max(1.0, pen.MiterLimit));
}

void PictureBuilder::Text(ColourRef colour, PictureText text, double outlineWidth) {
  Layer* layer = LayerOf(colour);
  if (!layer || text.Text.empty() || !(text.Size > 0)) return;
  PictureItem prototype;
  prototype.Type = outlineWidth > 0 ? PictureItem::Kind::TextOutline : PictureItem::Kind::Text;
  prototype.Width = static_cast<float>(outlineWidth);
  PictureItem& item = Open(*layer, prototype, Merge::Never);
  // Without the font's measures the text's extent is guessed generously: every letter an em
  // wide, every line two ems high, in any direction from the anchor, plus the box.
  std::size_t lines = 1, longest = 0, current = 0;
  for (char c : text.Text) {
    if (c == '\n') {
      ++lines;
      current = 0;
    } else {
      longest = std::max(longest, ++current);
    }
  }
  const double reach = text.Size * (static_cast<double>(longest + lines) * 2 + 2) +
                       std::hypot(text.BoxWidth, text.BoxHeight) + outlineWidth;
  Box box;
  box.Add({text.Anchor.X, text.Anchor.Y});
  Widen(item.Bounds, box.Grown(reach), true);
  item.TextIndex = static_cast<std::uint32_t>(texts_.size());
  texts_.push_back(std::move(text));
}

std::int32_t PictureBuilder::AddClip(const std::vector<Polyline>& rings) {
  PictureClip region;
  region.FirstPart = static_cast<std::uint32_t>(clips_.Parts.size());
  PictureItem scratch;
  scratch.FirstPart = region.FirstPart;
  AddParts(clips_, scratch, rings, 0);
  region.PartCount = scratch.PartCount;
  clipRegions_.push_back(region);
  return static_cast<std::int32_t>(clipRegions_.size() - 1);
}

VectorPicture PictureBuilder::Finish() {
  VectorPicture picture;
  std::size_t points = clips_.Points.size(), parts = clips_.Parts.size(), items = 0;
  for (const Layer& layer : layers_) {
    points += layer.Points.size();
    parts += layer.Parts.size();
    items += layer.Items.size();
  }
  picture.Points.reserve(points);
  picture.Parts.reserve(parts);
  picture.Items.reserve(items);
  auto append = [&picture](Layer& layer) {
    const auto pointBase = static_cast<std::uint32_t>(picture.Points.size());
    const auto partBase = static_cast<std::uint32_t>(picture.Parts.size());
    picture.Points.insert(picture.Points.end(), layer.Points.begin(), layer.Points.end());
    for (PicturePart part : layer.Parts) {
      part.First += pointBase;
      picture.Parts.push_back(part);
    }
    layer.Points = {};
    layer.Parts = {};
    return partBase;
  };
  const std::uint32_t clipBase = append(clips_);
  for (PictureClip region : clipRegions_) {
    region.FirstPart += clipBase;
    picture.Clips.push_back(region);
  }
  // The last colour of the table lies at the bottom.
  for (auto layer = layers_.rbegin(); layer != layers_.rend(); ++layer) {
    const std::uint32_t partBase = append(*layer);
    for (PictureItem item : layer->Items) {
      item.FirstPart += partBase;
      picture.Items.push_back(item);
    }
    layer->Items = {};
  }
  picture.Texts = std::move(texts_);
  return picture;
}

}  // namespace terrak::mapdraw
