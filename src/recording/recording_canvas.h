#pragma once
// A canvas that draws nothing and remembers every operation, with fixed text
// metrics, so that tests can check the exact pixels and labels of a plot.

#include <optional>
#include <string>
#include <vector>

#include "recording/plot_canvas.h"

namespace vireo {

class RecordingCanvas final : public PlotCanvas {
 public:
  static constexpr int kCharWidth = 9;
  static constexpr int kTextHeight = 18;

  struct Pen {
    PlotColour colour;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    bool operator==(const Pen&) const = default;
  };
  struct Line {
    PixelPoint from, to;
    Pen pen;
  };
  struct Text {
    PixelPoint at;
    std::string text;
    FontDirection direction = FontDirection::Horizontal;
  };
  struct Fill {
    PixelRect rect;
    PlotColour colour;
  };
  struct Frame {
    PixelRect rect;
    Pen pen;
    BrushStyle brush = BrushStyle::Solid;
  };

  // A surface of the given size, nothing clipped.
  RecordingCanvas(int width, int height) : width_(width), height_(height) {}

  void SetPenColour(PlotColour colour) override { pen_.colour = colour; }
  void SetPenWidth(int width) override { pen_.width = width; }
  void SetPenStyle(PenStyle style) override { pen_.style = style; }
  void SetBrushColour(PlotColour colour) override { brushColour_ = colour; }
  void SetBrushStyle(BrushStyle style) override { brushStyle_ = style; }
  void SelectFont(FontDirection direction) override { font_ = direction; }
  PixelRect ClipRect() const override;
  void SelectClipPolygon(std::span<const PixelPoint> polygon) override;
  void RemoveClip() override { clip_.reset(); }
  void FillRect(PixelRect rect) override { fills.push_back({rect, brushColour_}); }
  void MoveTo(PixelPoint point) override { position_ = point; }
  void LineTo(PixelPoint point) override;
  void Rectangle(PixelRect rect) override { frames.push_back({rect, pen_, brushStyle_}); }
  int TextWidth(std::string_view text) const override { return kCharWidth * static_cast<int>(text.size()); }
  int TextHeight(std::string_view) const override { return kTextHeight; }
  void TextOut(int x, int y, std::string_view text) override { texts.push_back({{x, y}, std::string(text), font_}); }

  // Lines drawn in the given pen, in drawing order.
  std::vector<Line> LinesIn(const Pen& pen) const;
  // The texts drawn in the given direction, in drawing order.
  std::vector<std::string> TextsIn(FontDirection direction) const;

  std::vector<Line> lines;
  std::vector<Text> texts;
  std::vector<Fill> fills;
  std::vector<Frame> frames;
  std::vector<std::vector<PixelPoint>> clips;  // every polygon selected, in order

 private:
  int width_, height_;
  Pen pen_;
  PlotColour brushColour_{255, 255, 255};
  BrushStyle brushStyle_ = BrushStyle::Solid;
  FontDirection font_ = FontDirection::Horizontal;
  PixelPoint position_;
  std::optional<PixelRect> clip_;
};

}  // namespace vireo
