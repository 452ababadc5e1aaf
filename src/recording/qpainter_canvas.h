#pragma once
// The plot canvas on a Qt paint device (a QImage, say), drawn like GDI draws
// on a window's canvas: no antialiasing for lines, so every pixel is exact.
//
// Lines: each line is drawn on its own with square ends: a one-pixel line
// covers its rasterised segment including both end pixels, whichever way it
// is drawn; a wider line is a band reaching half its width past each end.
// (GDI leaves out a line's end pixel; Qt's flat-ended lines leave out the
// lower or right one instead, which opens a gap at every vertex where two
// lines both end there, so both ends are drawn.) Dotted lines are Qt's dots.
//
// Font: "Arial" (Liberation Sans on Linux has the same metrics) sized so
// that its cell is 18 pixels high, weight 500; text is antialiased.

#include <QPainter>
#include <QPen>

#include "recording/plot_canvas.h"

class QPaintDevice;

namespace vireo {

class QPainterCanvas final : public PlotCanvas {
 public:
  static constexpr int kCellHeight = 18;

  // Paints on `device` from here to the destruction of the canvas.
  explicit QPainterCanvas(QPaintDevice& device);
  ~QPainterCanvas() override;
  QPainterCanvas(const QPainterCanvas&) = delete;
  QPainterCanvas& operator=(const QPainterCanvas&) = delete;

  void SetPenColour(PlotColour colour) override;
  void SetPenWidth(int width) override;
  void SetPenStyle(PenStyle style) override;
  void SetBrushColour(PlotColour colour) override { brushColour_ = colour; }
  void SetBrushStyle(BrushStyle style) override { brushStyle_ = style; }
  void SelectFont(FontDirection direction) override { direction_ = direction; }
  PixelRect ClipRect() const override;
  void SelectClipPolygon(std::span<const PixelPoint> polygon) override;
  void RemoveClip() override;
  void FillRect(PixelRect rect) override;
  void MoveTo(PixelPoint point) override { position_ = point; }
  void LineTo(PixelPoint point) override;
  void Polyline(std::span<const PixelPoint> points) override;
  void Rectangle(PixelRect rect) override;
  int TextWidth(std::string_view text) const override;
  int TextHeight(std::string_view) const override { return kCellHeight; }
  void TextOut(int x, int y, std::string_view text) override;

 private:
  bool IsBand(PixelPoint a, PixelPoint b) const;
  QRect Band(PixelPoint a, PixelPoint b) const;

  QPaintDevice& device_;
  QPainter painter_;
  QPen pen_;
  int baseline_ = 0;  // from the top of the cell
  PlotColour brushColour_{255, 255, 255};
  BrushStyle brushStyle_ = BrushStyle::Solid;
  FontDirection direction_ = FontDirection::Horizontal;
  PixelPoint position_;
};

}  // namespace vireo
