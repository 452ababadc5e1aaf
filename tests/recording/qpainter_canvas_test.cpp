#include "recording/qpainter_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <random>
#include <set>
#include <utility>

#include "recording/plot_renderer.h"

namespace vireo {
namespace {

constexpr QRgb kWhitePixel = 0xFFFFFFFF;
constexpr QRgb kBlackPixel = 0xFF000000;

QImage WhiteImage(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

std::set<std::pair<int, int>> PixelsOf(const QImage& image, QRgb colour) {
  std::set<std::pair<int, int>> found;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == colour) found.insert({x, y});
    }
  }
  return found;
}

std::set<std::pair<int, int>> NonWhite(const QImage& image) {
  std::set<std::pair<int, int>> found;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != kWhitePixel) found.insert({x, y});
    }
  }
  return found;
}

using Pixels = std::set<std::pair<int, int>>;

TEST(QPainterCanvas, LinesCoverBothEndsWhicheverWayTheyAreDrawn) {
  for (const bool reversed : {false, true}) {
    QImage image = WhiteImage(20, 20);
    {
      QPainterCanvas canvas(image);
      const PixelPoint a{2, 2}, b{2, 5}, c{4, 9};
      canvas.MoveTo(reversed ? c : a);
      canvas.LineTo(b);
      canvas.LineTo(reversed ? a : c);
      canvas.MoveTo({9, 9});
      canvas.LineTo({9, 9});  // to the current point: nothing
    }
    EXPECT_EQ(PixelsOf(image, kBlackPixel),
              (Pixels{{2, 2}, {2, 3}, {2, 4}, {2, 5}, {2, 6}, {3, 7}, {3, 8}, {4, 9}}));
  }
}

TEST(QPainterCanvas, ABendPointingDownHasNoGap) {
  QImage image = WhiteImage(20, 20);
  {
    QPainterCanvas canvas(image);
    const PixelPoint v[] = {{2, 2}, {5, 8}, {8, 2}};
    canvas.Polyline(v);
  }
  EXPECT_EQ(image.pixel(5, 8), kBlackPixel);
  EXPECT_EQ(image.pixel(8, 2), kBlackPixel);
}

TEST(QPainterCanvas, WideLinesAreSquareEndedBands) {
  QImage image = WhiteImage(20, 20);
  {
    QPainterCanvas canvas(image);
    canvas.SetPenWidth(2);
    canvas.MoveTo({5, 3});
    canvas.LineTo({5, 5});
  }
  EXPECT_EQ(PixelsOf(image, kBlackPixel), (Pixels{{4, 2}, {5, 2}, {4, 3}, {5, 3}, {4, 4}, {5, 4}, {4, 5}, {5, 5}}));
}

TEST(QPainterCanvas, ClipPolygonExcludesItsRightAndBottomEdges) {
  QImage image = WhiteImage(30, 30);
  {
    QPainterCanvas canvas(image);
    EXPECT_EQ(canvas.ClipRect(), (PixelRect{0, 0, 30, 30}));
    const PixelPoint square[] = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
    canvas.SelectClipPolygon(square);
    EXPECT_EQ(canvas.ClipRect(), (PixelRect{5, 5, 15, 15}));
    canvas.SetBrushColour({0, 0, 0});
    canvas.FillRect({0, 0, 30, 30});
    canvas.RemoveClip();
    EXPECT_EQ(canvas.ClipRect(), (PixelRect{0, 0, 30, 30}));
  }
  const Pixels filled = PixelsOf(image, kBlackPixel);
  EXPECT_EQ(filled.size(), 100u);
  EXPECT_EQ(*filled.begin(), std::make_pair(5, 5));
  EXPECT_EQ(*filled.rbegin(), std::make_pair(14, 14));
}

TEST(QPainterCanvas, RectangleOutlineStopsBeforeItsRightAndBottom) {
  QImage image = WhiteImage(20, 20);
  {
    QPainterCanvas canvas(image);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.Rectangle({2, 3, 6, 8});
  }
  const Pixels outline = PixelsOf(image, kBlackPixel);
  EXPECT_EQ(outline.size(), 2u * 4 + 2u * 3);
  EXPECT_TRUE(outline.count({2, 3}) && outline.count({5, 7}));
  EXPECT_FALSE(outline.count({6, 8}) || outline.count({6, 3}) || outline.count({3, 4}));
}

TEST(QPainterCanvas, TextStaysInItsCellOfEighteenPixels) {
  QImage image = WhiteImage(200, 200);
  int width = 0;
  {
    QPainterCanvas canvas(image);
    EXPECT_EQ(canvas.TextHeight("Ag"), 18);
    width = canvas.TextWidth("Ag\xB0");
    EXPECT_GT(width, 20);
    EXPECT_LT(width, 40);
    canvas.SetBrushStyle(BrushStyle::Clear);
    canvas.TextOut(10, 10, "Ag\xB0");
    canvas.SelectFont(FontDirection::Upwards);
    canvas.TextOut(100, 150, "Ag\xB0");
  }
  for (const auto& [x, y] : NonWhite(image)) {
    if (x < 100) {
      EXPECT_TRUE(x >= 10 && x < 10 + width && y >= 10 && y < 28) << x << "," << y;
    } else {
      // Upwards: the cell's top lies on the left, the text runs up from y 150.
      EXPECT_TRUE(x >= 100 && x < 118 && y < 150 && y >= 150 - width) << x << "," << y;
    }
  }
  EXPECT_GT(NonWhite(image).size(), 60u);
}

TEST(QPainterCanvas, TextOnASolidBrushFillsItsCell) {
  QImage image = WhiteImage(100, 40);
  int width = 0;
  {
    QPainterCanvas canvas(image);
    canvas.SetBrushColour({0, 255, 255});
    width = canvas.TextWidth("1.5");
    canvas.TextOut(5, 5, "1.5");
  }
  EXPECT_EQ(image.pixel(5, 5), qRgb(0, 255, 255));
  EXPECT_EQ(image.pixel(5 + width - 1, 5 + 17), qRgb(0, 255, 255));
  EXPECT_EQ(image.pixel(5 + width, 5), kWhitePixel);
  EXPECT_EQ(image.pixel(5, 5 + 18), kWhitePixel);
}

// ---- Dense series: the decimated drawing against a line per point ---------

void DrawEveryPoint(const PlotRenderer& renderer, PlotCanvas& canvas) {
  const PixelMapping map = SlotMapping(renderer, PlotSlot::Main);
  const SeriesPoints& points = *renderer.Series;
  canvas.SetPenColour(renderer.SeriesColour);
  canvas.SetPenWidth(renderer.SeriesLineWidth);
  canvas.MoveTo({map.PixelX(points.X()[0]), map.PixelY(points.Y()[0])});
  for (std::size_t i = 1; i < points.Count(); ++i) canvas.LineTo({map.PixelX(points.X()[i]), map.PixelY(points.Y()[i])});
}

QImage Render(const SeriesPoints& points, const AxisParameters& axes, int penWidth, bool everyPoint,
             int width = 674) {
  QImage image = WhiteImage(width, 510);
  QPainterCanvas canvas(image);
  PlotRenderer renderer;
  renderer.Axes = axes;
  renderer.SeriesLineWidth = penWidth;
  renderer.SeriesColour = {255, 0, 0};
  AttachCanvas(renderer, PlotSlot::Main, canvas);
  DrawAxes(renderer, PlotSlot::Main);
  renderer.Series = &points;
  if (everyPoint) {
    DrawEveryPoint(renderer, canvas);
  } else {
    DrawSeries(renderer, PlotSlot::Main);
  }
  return image;
}

int DifferentPixels(const QImage& a, const QImage& b) {
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
  }
  return count;
}

SeriesPoints RandomWalk(std::size_t count, std::uint32_t seed, float spikes) {
  std::mt19937 random(seed);
  std::normal_distribution<float> step(0.0f, 0.02f);
  std::uniform_real_distribution<float> unit(0.0f, 1.0f);
  SeriesPoints points;
  float temperature = 24.0f;
  for (std::size_t i = 0; i < count; ++i) {
    temperature += step(random);
    const float shown = unit(random) < spikes ? temperature + 3 * (unit(random) - 0.5f) : temperature;
    points.Add(static_cast<float>(i) * 60.0f / static_cast<float>(count), shown);
  }
  return points;
}

struct DecimationCase {
  const char* name;
  SeriesPoints points;
  AxisParameters axes;
};

std::vector<DecimationCase> DecimationCases() {
  std::vector<DecimationCase> cases;
  const AxisParameters whole{{-4, 64, 10, 2}, {18, 30, 2, 0.5f}};
  cases.push_back({"dense walk", RandomWalk(200000, 1, 0), whole});
  cases.push_back({"dense walk with spikes", RandomWalk(200000, 2, 0.01f), whole});
  cases.push_back({"sparse walk", RandomWalk(300, 3, 0.1f), whole});
  // Zoomed in: most points lie left or right of the data area, some above or below.
  cases.push_back({"zoomed", RandomWalk(200000, 4, 0.01f), {{29.5f, 31.5f, 0.5f, 0.1f}, {23.9f, 24.1f, 0.05f, 0.01f}}});
  // Times out of order (a hand-edited series).
  SeriesPoints shuffled;
  std::mt19937 random(5);
  std::uniform_real_distribution<float> time(-10, 70), temperature(16, 32);
  for (int i = 0; i < 20000; ++i) shuffled.Add(time(random), temperature(random));
  cases.push_back({"unordered", std::move(shuffled), whole});
  // Many points in the last column.
  SeriesPoints crowdedEnd = RandomWalk(1000, 6, 0);
  for (int i = 0; i < 5000; ++i) crowdedEnd.Add(59.99f, 24.0f + static_cast<float>(i % 97) * 0.03f);
  cases.push_back({"crowded last column", std::move(crowdedEnd), whole});
  // Two and three points per column, every other one a spike: the inner
  // point of a three-point run must survive.
  for (const int perColumn : {2, 3}) {
    SeriesPoints spiky;
    const int count = 579 * perColumn;
    for (int i = 0; i < count; ++i) {
      spiky.Add(-4 + 68.0f * static_cast<float>(i) / static_cast<float>(count), i % 2 ? 28.0f : 20.0f + (i % 7) * 0.3f);
    }
    cases.push_back({perColumn == 2 ? "two per column, spikes" : "three per column, spikes", std::move(spiky), whole});
  }
  return cases;
}

TEST(DecimatedSeries, SamePixelsAsALinePerPoint) {
  for (const DecimationCase& c : DecimationCases()) {
    for (const int penWidth : {1, 2}) {
      const QImage fast = Render(c.points, c.axes, penWidth, false);
      const QImage every = Render(c.points, c.axes, penWidth, true);
      EXPECT_EQ(DifferentPixels(fast, every), 0) << c.name << ", pen " << penWidth;
      EXPECT_GT(PixelsOf(fast, qRgb(255, 0, 0)).size(), 50u) << c.name;
    }
  }
}

TEST(DecimatedSeries, PlotsNarrowerThanTheirMarginsMatchALinePerPoint) {
  const SeriesPoints walk = RandomWalk(5000, 7, 0.05f);
  const AxisParameters whole{{-4, 64, 10, 2}, {18, 30, 2, 0.5f}};
  for (const int width : {1, 50, 94, 95}) {
    EXPECT_EQ(DifferentPixels(Render(walk, whole, 2, false, width), Render(walk, whole, 2, true, width)), 0)
        << "width " << width;
  }
}

TEST(DecimatedSeries, NothingOutsideTheDataArea) {
  SeriesPoints far;
  for (int i = 0; i < 100; ++i) far.Add(static_cast<float>(i % 7) * 40 - 100, static_cast<float>(i % 5) * 50 - 100);
  const QImage image = Render(far, {{0, 60, 10, 2}, {0, 25, 5, 1}}, 2, false);
  const Pixels red = PixelsOf(image, qRgb(255, 0, 0));
  ASSERT_FALSE(red.empty());
  for (const auto& [x, y] : red) EXPECT_TRUE(x >= 60 && x < 639 && y >= 20 && y < 460) << x << "," << y;
}

}  // namespace
}  // namespace vireo
