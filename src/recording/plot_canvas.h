#pragma once
// The drawing surface the plot renderer paints on: the few operations of a
// GDI-style canvas it needs, so the renderer runs on a QPainter in the program
// and on a recording canvas in tests.
//
// Coordinates are integer pixels, origin at the top left. A rectangle holds
// its left and top edges and excludes its right and bottom edges.

#include <cstdint>
#include <span>
#include <string_view>

namespace vireo {

struct PlotColour {
  std::uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const PlotColour&) const = default;
};

struct PixelPoint {
  int x = 0, y = 0;
  bool operator==(const PixelPoint&) const = default;
};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

enum class PenStyle { Solid, Dotted };
enum class BrushStyle { Solid, Clear };
// The plot font: "Arial" with an 18-pixel cell, weight 500; Upwards is the
// same font rotated by 90 degrees so that text runs from bottom to top.
enum class FontDirection { Horizontal, Upwards };

class PlotCanvas {
 public:
  virtual ~PlotCanvas() = default;

  virtual void SetPenColour(PlotColour colour) = 0;
  virtual void SetPenWidth(int width) = 0;
  virtual void SetPenStyle(PenStyle style) = 0;
  virtual void SetBrushColour(PlotColour colour) = 0;
  virtual void SetBrushStyle(BrushStyle style) = 0;
  virtual void SelectFont(FontDirection direction) = 0;

  // The bounding box of the drawable area: the clip region's box within the
  // surface, or the whole surface when nothing clips.
  virtual PixelRect ClipRect() const = 0;
  // Restricts drawing to the inside of a polygon (its right and bottom edges
  // excluded, as a GDI polygon region).
  virtual void SelectClipPolygon(std::span<const PixelPoint> polygon) = 0;
  virtual void RemoveClip() = 0;

  // Fills with the brush colour, whatever the brush style.
  virtual void FillRect(PixelRect rect) = 0;
  // Lines in the pen, each drawn on its own (no joins). A solid line covers
  // both its end pixels, so joined lines leave no gap at a turn; a wider pen
  // reaches half its width past each end. A line to the current point draws
  // nothing.
  virtual void MoveTo(PixelPoint point) = 0;
  virtual void LineTo(PixelPoint point) = 0;
  // MoveTo the first point, then LineTo each further one, in one call.
  virtual void Polyline(std::span<const PixelPoint> points);
  // The outline in the pen, the inside in the brush (nothing with a clear brush).
  virtual void Rectangle(PixelRect rect) = 0;

  // Text metrics and output in the selected font. Text is single-byte
  // Latin-1. (x, y) is the top left of the text cell before rotation; with
  // the solid brush the cell is first filled in the brush colour.
  virtual int TextWidth(std::string_view text) const = 0;
  virtual int TextHeight(std::string_view text) const = 0;
  virtual void TextOut(int x, int y, std::string_view text) = 0;
};

inline void PlotCanvas::Polyline(std::span<const PixelPoint> points) {
  if (points.empty()) return;
  MoveTo(points.front());
  for (const PixelPoint& point : points.subspan(1)) LineTo(point);
}

}  // namespace vireo
