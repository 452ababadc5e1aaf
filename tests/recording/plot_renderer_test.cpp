#include "recording/plot_renderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "recording/recording_canvas.h"

namespace vireo {
namespace {

using Pen = RecordingCanvas::Pen;
constexpr PlotColour kSilver{192, 192, 192};
constexpr PlotColour kBlack{0, 0, 0};
const Pen kGridPen{kSilver, 1, PenStyle::Dotted};
const Pen kTickPen{kSilver, 1, PenStyle::Solid};

// A 674 x 510 plot: data area from (60, 20) to (639, 460).
struct RendererTest : ::testing::Test {
  RecordingCanvas canvas{674, 510};
  PlotRenderer renderer;

  void Draw(AxisRange horizontal, AxisRange vertical) {
    canvas = RecordingCanvas(674, 510);
    renderer.Axes = {horizontal, vertical};
    AttachCanvas(renderer, PlotSlot::Main, canvas);
    DrawAxes(renderer, PlotSlot::Main);
  }
  // Grid lines on the horizontal axis run vertically, and the other way round.
  std::vector<int> GridColumns() const {
    std::vector<int> xs;
    for (const auto& l : canvas.LinesIn(kGridPen)) {
      if (l.from.x == l.to.x) xs.push_back(l.from.x);
    }
    return xs;
  }
  std::vector<int> GridRows() const {
    std::vector<int> ys;
    for (const auto& l : canvas.LinesIn(kGridPen)) {
      if (l.from.y == l.to.y) ys.push_back(l.from.y);
    }
    return ys;
  }
  // Minor ticks on the left edge of the frame.
  std::vector<int> LeftTickRows() const {
    std::vector<int> ys;
    for (const auto& l : canvas.LinesIn(kTickPen)) {
      if (l.from.x == 60 && l.to.x == 68) ys.push_back(l.from.y);
    }
    return ys;
  }
  std::vector<int> BottomTickColumns() const {
    std::vector<int> xs;
    for (const auto& l : canvas.LinesIn(kTickPen)) {
      if (l.from.y == 452 && l.to.y == 460) xs.push_back(l.from.x);
    }
    return xs;
  }
  std::vector<std::string> TextsAt(int y) const {
    std::vector<std::string> found;
    for (const auto& t : canvas.texts) {
      if (t.at.y == y) found.push_back(t.text);
    }
    return found;
  }
  std::vector<std::string> VerticalTickLabels() const {
    std::vector<std::string> found;
    for (const auto& t : canvas.texts) {
      if (t.direction == FontDirection::Horizontal && t.at.x + static_cast<int>(t.text.size()) * 9 == 56) {
        found.push_back(t.text);
      }
    }
    return found;
  }
};

using Labels = std::vector<std::string>;

TEST_F(RendererTest, InitialAxesLabelTheInnerGridValues) {
  AttachCanvas(renderer, PlotSlot::Main, canvas);
  DrawAxes(renderer, PlotSlot::Main);
  // 0 to 60 by 10: the minimum is a multiple, so it gets no label; 60 is the frame.
  EXPECT_EQ(TextsAt(464), (Labels{"10", "20", "30", "40", "50"}));
  EXPECT_EQ(GridColumns(), (std::vector<int>{156, 253, 349, 446, 542}));
  EXPECT_TRUE(BottomTickColumns().empty());  // minor increment equals the major one
  // 0 to 25 by 5, minor 1: 25 is the frame; a tick at every degree but 25.
  EXPECT_EQ(VerticalTickLabels(), (Labels{"0", "5", "10", "15", "20"}));
  EXPECT_EQ(GridRows(), (std::vector<int>{460, 372, 284, 196, 108}));
  const std::vector<int> ticks = LeftTickRows();
  ASSERT_EQ(ticks.size(), 25u);
  EXPECT_EQ(ticks[0], 460);
  EXPECT_EQ(ticks[1], 442);   // 460 - 17.6
  EXPECT_EQ(ticks[24], 37);   // 460 - 422.4
}

TEST_F(RendererTest, HorizontalMinimumJustBelowZeroLabelsZero) {
  Draw({-0.0001f, 60, 10, 10}, {0, 25, 5, 1});
  EXPECT_EQ(TextsAt(464), (Labels{"0", "10", "20", "30", "40", "50"}));
  EXPECT_EQ(GridColumns().front(), 60);
}

TEST_F(RendererTest, TickLabelPlacement) {
  Draw({0, 60, 10, 10}, {0, 25, 5, 1});
  const auto& texts = canvas.texts;
  const auto find = [&](const std::string& s, int y) {
    return std::find_if(texts.begin(), texts.end(), [&](const auto& t) { return t.text == s && t.at.y == y; });
  };
  // Horizontal: centred under the grid line (px 156), 4 below the area.
  ASSERT_NE(find("10", 464), texts.end());
  EXPECT_EQ(find("10", 464)->at.x, 156 - 18 / 2);
  // Vertical: right-aligned 4 left of the area, centred on the grid line (py 372).
  ASSERT_NE(find("5", 372 - 9), texts.end());
  EXPECT_EQ(find("5", 372 - 9)->at.x, 60 - 9 - 4);
}

TEST_F(RendererTest, DecimalsFollowTheMajorIncrement) {
  Draw({0, 1, 0.5f, 0.1f}, {24.08f, 24.52f, 0.05f, 0.01f});
  EXPECT_EQ(renderer.VerticalTickFormat, "%.2f");
  EXPECT_EQ(VerticalTickLabels(), (Labels{"24.10", "24.15", "24.20", "24.25", "24.30", "24.35", "24.40", "24.45", "24.50"}));
  EXPECT_EQ(renderer.HorizontalTickFormat, "%.1f");
  EXPECT_EQ(TextsAt(464), (Labels{"0.5"}));

  Draw({0, 0.018f, 0.005f, 0.001f}, {0, 1000, 100, 20});
  EXPECT_EQ(renderer.HorizontalTickFormat, "%.3f");
  EXPECT_EQ(TextsAt(464), (Labels{"0.005", "0.010", "0.015"}));
  EXPECT_EQ(renderer.VerticalTickFormat, "%.0f");
}

TEST_F(RendererTest, GridValuesNearZeroAreLabelledExactlyZero) {
  // Summing 0.2f from -0.8 and 0.1f from -0.3 lands a hair below zero.
  // (-1 / 0.2f is a hair above -5 and truncates toward zero to -4.)
  Draw({-0.5f, 0.45f, 0.1f, 0.1f}, {-1, 1, 0.2f, 0.2f});
  EXPECT_EQ(VerticalTickLabels(), (Labels{"-0.8", "-0.6", "-0.4", "-0.2", "0.0", "0.2", "0.4", "0.6", "0.8"}));
  EXPECT_EQ(TextsAt(464), (Labels{"-0.3", "-0.2", "-0.1", "0.0", "0.1", "0.2", "0.3", "0.4"}));
}

TEST_F(RendererTest, AxisLabelsFrameAndClip) {
  renderer.HorizontalAxisLabel = "time (min)";
  renderer.VerticalAxisLabel = "temperature (\xB0" "C)";
  Draw({0, 60, 10, 10}, {0, 25, 5, 1});
  const auto& texts = canvas.texts;
  const auto hor = std::find_if(texts.begin(), texts.end(), [](const auto& t) { return t.text == "time (min)"; });
  ASSERT_NE(hor, texts.end());
  EXPECT_EQ(hor->at, (PixelPoint{60 + (579 - 90) / 2, 490}));
  const auto ver = texts.back();
  EXPECT_EQ(ver.direction, FontDirection::Upwards);
  EXPECT_EQ(ver.text, "temperature (\xB0" "C)");
  EXPECT_EQ(ver.at, (PixelPoint{2, 20 + (440 + 16 * 9) / 2}));

  ASSERT_EQ(canvas.frames.size(), 1u);
  EXPECT_EQ(canvas.frames[0].rect, (PixelRect{60, 20, 640, 461}));
  EXPECT_EQ(canvas.frames[0].pen, (Pen{kBlack, 1, PenStyle::Solid}));
  EXPECT_EQ(canvas.frames[0].brush, BrushStyle::Clear);
  // The series that follow are clipped to the data area.
  EXPECT_EQ(canvas.clips.back(), (std::vector<PixelPoint>{{60, 20}, {639, 20}, {639, 460}, {60, 460}}));
}

TEST_F(RendererTest, AxisLabelsHoldAtMost99Characters) {
  renderer.HorizontalAxisLabel = std::string(150, 'x');
  EXPECT_EQ(renderer.HorizontalAxisLabel.View(), std::string(99, 'x'));
}

TEST_F(RendererTest, BackgroundFillsTheWholeSlot) {
  renderer.PlotBackground = {0, 255, 255};
  Draw({0, 60, 10, 10}, {0, 25, 5, 1});
  ASSERT_EQ(canvas.fills.size(), 2u);
  EXPECT_EQ(canvas.fills[0].colour, (PlotColour{255, 255, 255}));  // on attaching
  EXPECT_EQ(canvas.fills[1].rect, (PixelRect{0, 0, 674, 510}));
  EXPECT_EQ(canvas.fills[1].colour, (PlotColour{0, 255, 255}));
}

TEST_F(RendererTest, RequestedSizeOverridesTheCanvasAndReattachingKeepsIt) {
  renderer.Slot(PlotSlot::Main).RequestedWidth = 400;
  renderer.Slot(PlotSlot::Main).RequestedHeight = 237;
  Draw({0, 60, 10, 10}, {0, 25, 5, 1});
  EXPECT_EQ(renderer.Slot(PlotSlot::Main).W, 400);
  EXPECT_EQ(renderer.Slot(PlotSlot::Main).H, 237);
  EXPECT_EQ(canvas.frames[0].rect, (PixelRect{60, 20, 366, 188}));

  // Without a requested size the canvas decides; a second attachment after a
  // picture (data-area clip still selected) finds the same size again.
  auto& spectrometer = renderer.Slot(PlotSlot::Spectrometer);
  AttachCanvas(renderer, PlotSlot::Spectrometer, canvas);
  DrawAxes(renderer, PlotSlot::Spectrometer);
  AttachCanvas(renderer, PlotSlot::Spectrometer, canvas);
  EXPECT_EQ(spectrometer.W, 674);
  EXPECT_EQ(spectrometer.H, 510);
  EXPECT_EQ(spectrometer.PlotRect, (PixelRect{0, 0, 674, 510}));
}

TEST_F(RendererTest, LoopsNeverRunWithoutAPositiveIncrementOrRange) {
  for (const float increment : {0.0f, -5.0f, NAN}) {
    Draw({0, 60, increment, increment}, {0, 25, increment, increment});
    EXPECT_TRUE(canvas.LinesIn(kGridPen).empty());
    EXPECT_TRUE(canvas.LinesIn(kTickPen).empty());
    EXPECT_EQ(canvas.frames.size(), 1u);
  }
  Draw({60, 0, 10, 2}, {25, 25, 5, 1});
  EXPECT_TRUE(canvas.LinesIn(kGridPen).empty());
  EXPECT_TRUE(canvas.LinesIn(kTickPen).empty());
}

TEST_F(RendererTest, TinyIncrementsAreBounded) {
  // Millions of grid lines would hang the window thread: skipped.
  Draw({0, 60, 1e-6f, 1e-7f}, {0, 25, 1e-6f, 1e-7f});
  EXPECT_TRUE(canvas.LinesIn(kGridPen).empty());
  EXPECT_TRUE(canvas.texts.empty());
  // An increment that no longer advances the value in single precision.
  Draw({1e8f, 1e8f + 1024, 1, 1}, {0, 25, 5, 1});
  EXPECT_EQ(TextsAt(464).size(), 1u);
  // Up to the bound every line is drawn.
  Draw({0, 1, 1.0f / 4096, 1.0f / 4096}, {0, 25, 5, 1});
  EXPECT_EQ(GridColumns().size(), 4095u);
}

TEST_F(RendererTest, UnattachedSlotDrawsNothing) {
  DrawAxes(renderer, PlotSlot::Spectrometer);
  DrawSeries(renderer, PlotSlot::Spectrometer);
  EXPECT_TRUE(canvas.fills.empty());
}

struct SeriesDrawingTest : RendererTest {
  SeriesPoints points;
  void DrawPoints(const std::vector<std::pair<float, float>>& xy, AxisRange h = {0, 10, 2, 1},
                  AxisRange v = {0, 100, 10, 10}) {
    for (auto [x, y] : xy) points.Add(x, y);
    Draw(h, v);
    renderer.Series = &points;
    renderer.SeriesColour = {255, 0, 0};
    renderer.SeriesLineWidth = 2;
    DrawSeries(renderer, PlotSlot::Main);
  }
  std::vector<RecordingCanvas::Line> SeriesLines() const { return canvas.LinesIn({{255, 0, 0}, 2, PenStyle::Solid}); }
};

TEST_F(SeriesDrawingTest, PointsMapToTruncatedPixels) {
  DrawPoints({{0, 0}, {5, 50}, {10, 100}, {2.5f, 33.3f}});
  const auto lines = SeriesLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].from, (PixelPoint{60, 460}));
  EXPECT_EQ(lines[0].to, (PixelPoint{60 + 579 / 2, 240}));  // 349.5 and 240
  EXPECT_EQ(lines[1].to, (PixelPoint{639, 20}));
  EXPECT_EQ(lines[2].to, (PixelPoint{204, 313}));  // 60 + 144.75, 460 - 146.52
}

TEST_F(SeriesDrawingTest, OnePointDrawsNothing) {
  DrawPoints({{5, 50}});
  EXPECT_TRUE(SeriesLines().empty());
}

TEST_F(SeriesDrawingTest, PointsOutsideTheAxesStillDrawTowardsTheEdge) {
  DrawPoints({{5, 50}, {20, 150}, {5, -1e30f}});
  const auto lines = SeriesLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].to, (PixelPoint{60 + 1158, 460 - 660}));
  EXPECT_EQ(lines[1].to.y, static_cast<int>(PixelMapping::kPixelLimit));
  EXPECT_EQ(canvas.clips.back().front(), (PixelPoint{60, 20}));
}

TEST_F(SeriesDrawingTest, NoScaleNoSeries) {
  DrawPoints({{0, 0}, {5, 50}}, {3, 3, 1, 1});
  EXPECT_TRUE(SeriesLines().empty());
}

TEST(NiceRange, Examples) {
  EXPECT_EQ(NiceRange(0, 0), (AxisRange{-1, 1, 0.5f, 0.1f}));
  EXPECT_EQ(NiceRange(0, 10), (AxisRange{-1, 11, 2, 0.5f}));
  EXPECT_EQ(NiceRange(0, 60), (AxisRange{-4, 64, 10, 2}));
  // 20 / 0.2f is just below 100 and truncates to 99.
  EXPECT_EQ(NiceRange(20, 25), (AxisRange{19.4f, 25.2f, 1, 0.2f}));
}

TEST(NiceRange, RowsByDataSpan) {
  // d just below a bound takes that row; at the bound the next one.
  EXPECT_EQ(NiceRange(0, 0.00099f).Major, 0.0001f);
  EXPECT_EQ(NiceRange(0, 0.0015f).Minor, 0.0002f / 4);
  EXPECT_EQ(NiceRange(0, 1).Major, 0.2f);
  EXPECT_EQ(NiceRange(0, 19).Major, 2.0f);
  EXPECT_EQ(NiceRange(0, 20).Major, 5.0f);
  EXPECT_EQ(NiceRange(0, 1999).Major, 200.0f);
  EXPECT_EQ(NiceRange(0, 2000), (AxisRange{-400, 2400, 1000, 200}));
  // Below 0.0001 there is no span to scale: one unit either side of a
  // single value keeps it in view; reversed bounds give -1 .. 1.
  EXPECT_EQ(NiceRange(50, 50), (AxisRange{49, 51, 0.5f, 0.1f}));
  EXPECT_EQ(NiceRange(-25, -25), (AxisRange{-26, -24, 0.5f, 0.1f}));
  EXPECT_EQ(NiceRange(10, 0), (AxisRange{-1, 1, 0.5f, 0.1f}));
  // Negative quotients truncate toward zero: -10 / 0.2f is -49.9999993.
  EXPECT_EQ(NiceRange(-10, -0.5f), (AxisRange{-10.2f, 0, 1, 0.2f}));
}

}  // namespace
}  // namespace vireo
