#pragma once
// A picture as a list of shapes to fill, lines to stroke and texts to set, in the order they
// are drawn, in paper coordinates (1/1000 mm, y upwards). The map drawing decides what goes in;
// a painter of the platform (Qt's) only executes it, into any rectangle at any scale.
#include <cstdint>
#include <string>
#include <vector>

#include "common/colour.h"

namespace terrak {

struct PicturePoint {
  float X = 0;
  float Y = 0;
};

struct PictureBox {
  float MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
  bool Meets(const PictureBox& other) const {
    return MinX <= other.MaxX && other.MinX <= MaxX && MinY <= other.MaxY && other.MinY <= MaxY;
  }
};

// A run of points of one shape: a closed ring of a filled area or an open or closed line.
struct PicturePart {
  std::uint32_t First = 0;  // into VectorPicture::Points
  std::uint32_t Count = 0;
  bool Closed = false;
};

enum class StrokeCap : std::uint8_t { Flat, Round, Square };
enum class StrokeJoin : std::uint8_t { Bevel, Miter, Round };
enum class TextAnchorH : std::uint8_t { Left, Centre, Right };
enum class TextAnchorV : std::uint8_t { Baseline, Top, Centre, Bottom };

// A text set in a font at a point (or in a box centred on it), turned counterclockwise.
struct PictureText {
  std::string Text;  // UTF-8, lines separated by '\n'
  std::string Family;
  float Size = 0;  // em height
  bool Bold = false, Italic = false, Underline = false;
  bool Kerning = false;
  PicturePoint Anchor;
  float Rotation = 0;           // radians counterclockwise
  float LineSpacing = 1;        // times the font's own line spacing, unless AbsoluteLineSpacing
  float AbsoluteLineSpacing = 0;
  float ParagraphSpacing = 0;
  float CharacterSpacing = 0;   // widths of a space added after each letter
  TextAnchorH HAlign = TextAnchorH::Left;
  TextAnchorV VAlign = TextAnchorV::Baseline;
  float BoxWidth = 0, BoxHeight = 0;  // zero for a text at one point
};

struct PictureItem {
  // Fill: the parts' inside by the even-odd rule. FillUnion: the union of the parts' insides
  // (rings all counterclockwise). Stroke: lines along the parts. Text and TextOutline: the
  // text's letters filled, or their outlines stroked at Width.
  enum class Kind : std::uint8_t { Fill, FillUnion, Stroke, Text, TextOutline };
  Kind Type = Kind::Fill;
  StrokeCap Cap = StrokeCap::Flat;
  StrokeJoin Join = StrokeJoin::Miter;
  Colour Rgb = kBlack;
  std::uint8_t Alpha = 255;
  float Width = 0;
  float MiterLimit = 1;  // in widths of the line, as Qt counts it
  std::uint32_t FirstPart = 0, PartCount = 0;  // Fill and Stroke
  std::uint32_t TextIndex = 0;                 // Text and TextOutline
  std::int32_t Clip = -1;  // drawn only inside this clip region; -1 for none
  PictureBox Bounds;       // everything the item may touch, for skipping what lies out of view
};

// A region that clips items: the inside of its parts by the even-odd rule.
struct PictureClip {
  std::uint32_t FirstPart = 0, PartCount = 0;
};

struct VectorPicture {
  std::vector<PicturePoint> Points;
  std::vector<PicturePart> Parts;
  std::vector<PictureClip> Clips;
  std::vector<PictureText> Texts;
  std::vector<PictureItem> Items;  // in drawing order: later items cover earlier ones
};

// Where a picture goes: the paper point at the top-left corner of the image and the scale.
struct PictureView {
  double Left = 0;   // 1/1000 mm
  double Top = 0;    // 1/1000 mm, y upwards
  double PixelsPerMicrometre = 0.01;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  Colour Background = kWhite;
};

}  // namespace terrak
