#include "recording/plot_limits.h"

#include <gtest/gtest.h>

#include "recording/plot_redraw.h"
#include "recording/recording_canvas.h"

namespace vireo {
namespace {

AxisParameters Automatic(PointExtents extents) {
  PlotLimits limits;
  return ComputeAxes(limits, extents);
}

TEST(AutomaticLimits, TimesFromZero) {
  EXPECT_EQ(Automatic({0, 10, 24, 25}).Horizontal, (AxisRange{-1, 11, 2, 0.5f}));
}

TEST(AutomaticLimits, ComputedTimeMinimumOfZeroStartsJustBelow) {
  const AxisParameters axes = Automatic({0.5f, 10, 24, 25});
  EXPECT_EQ(axes.Horizontal.Min, -0.0001f);
  EXPECT_EQ(axes.Horizontal.Major, 1.0f);
  // Not for temperatures.
  EXPECT_EQ(Automatic({0, 10, 0.5f, 10}).Vertical.Min, 0.0f);
}

// 24.52 is 2452 steps of 0.01f, a float a hair below 24.52f.
constexpr float k2452Hundredths = 2452 * 0.01f;

TEST(AutomaticLimits, TemperaturesInHundredths) {
  EXPECT_EQ(Automatic({0, 10, 24.1f, 24.5f}).Vertical, (AxisRange{24.08f, k2452Hundredths, 0.05f, 0.01f}));
}

TEST(AutomaticLimits, DrawnLimitsAreWrittenBack) {
  PlotLimits limits;
  limits[PlotLimit::MinTime] = {5, false};
  limits[PlotLimit::IncTemp] = {0.5f, false};
  const AxisParameters axes = ComputeAxes(limits, {0, 10, 24.1f, 24.5f});
  // A manual minimum enters NiceRange too: 5 to 10 by 1.
  EXPECT_EQ(axes.Horizontal, (AxisRange{5, 10.2f, 1, 0.2f}));
  EXPECT_EQ(axes.Vertical, (AxisRange{24.08f, k2452Hundredths, 0.5f, 0.1f}));
  EXPECT_EQ(limits[PlotLimit::MinTime].Value, 5.0f);
  EXPECT_FALSE(limits[PlotLimit::MinTime].Automatic);
  EXPECT_EQ(limits[PlotLimit::MaxTime].Value, 10.2f);
  EXPECT_TRUE(limits[PlotLimit::MaxTime].Automatic);
  EXPECT_EQ(limits[PlotLimit::MinTemp].Value, 24.08f);
  EXPECT_EQ(limits[PlotLimit::MaxTemp].Value, k2452Hundredths);
  EXPECT_EQ(limits[PlotLimit::IncTemp].Value, 0.5f);
}

TEST(AutomaticLimits, ExtentsAreTheUnionOfTheParsedSeries) {
  PointExtents plot{};
  UniteExtents(plot, {});
  EXPECT_EQ(plot, PointExtents{});
  const PointExtents a{1, 5, 20, 22}, b{0.5f, 3, 21, 30};
  const PointExtents both[] = {a, b};
  UniteExtents(plot, both);
  EXPECT_EQ(plot, (PointExtents{0.5f, 5, 20, 30}));
  // Without series the last extents stay.
  UniteExtents(plot, {});
  EXPECT_EQ(plot, (PointExtents{0.5f, 5, 20, 30}));
}

struct LimitBoxTest : ::testing::Test {
  PlotLimits limits;
  void SetUp() override { ComputeAxes(limits, {0, 56, 20, 30}); }  // time 0 .. 60 drawn
};

TEST_F(LimitBoxTest, MinimumAboveTheMaximumIsInvalid) {
  ASSERT_EQ(limits[PlotLimit::MaxTime].Value, 60.0f);
  const LimitEntry entry = EnterPlotLimit(limits, PlotLimit::MinTime, "100");
  EXPECT_TRUE(entry.Invalid);
  EXPECT_EQ(entry.BoxText, "A");
  EXPECT_TRUE(limits[PlotLimit::MinTime].Automatic);
}

TEST_F(LimitBoxTest, ValidEntriesBecomeManual) {
  LimitEntry entry = EnterPlotLimit(limits, PlotLimit::MinTime, " 10 min");
  EXPECT_FALSE(entry.Invalid);
  EXPECT_EQ(entry.BoxText, " 10 min");
  EXPECT_EQ(limits[PlotLimit::MinTime].Value, 10.0f);
  EXPECT_FALSE(limits[PlotLimit::MinTime].Automatic);
  entry = EnterPlotLimit(limits, PlotLimit::MaxTime, "11");
  EXPECT_FALSE(entry.Invalid);
  EXPECT_EQ(EnterPlotLimit(limits, PlotLimit::MaxTime, "10").BoxText, "A");  // not above the minimum
  EXPECT_TRUE(limits[PlotLimit::MaxTime].Automatic);
}

TEST_F(LimitBoxTest, IncrementMustBePositive) {
  EXPECT_FALSE(EnterPlotLimit(limits, PlotLimit::IncTime, "2").Invalid);
  ASSERT_FALSE(limits[PlotLimit::IncTime].Automatic);
  for (const char* bad : {"0", "-1"}) {
    EXPECT_TRUE(EnterPlotLimit(limits, PlotLimit::IncTime, bad).Invalid);
    EXPECT_TRUE(limits[PlotLimit::IncTime].Automatic);
    EXPECT_EQ(limits[PlotLimit::IncTime].Value, 2.0f);  // an invalid increment is not stored
  }
}

TEST_F(LimitBoxTest, TemperatureBoxesFollowTheSameRules) {
  ASSERT_EQ(limits[PlotLimit::MaxTemp].Value, 31.0f);
  EXPECT_TRUE(EnterPlotLimit(limits, PlotLimit::MinTemp, "31").Invalid);
  EXPECT_FALSE(EnterPlotLimit(limits, PlotLimit::MinTemp, "25").Invalid);
  EXPECT_FALSE(limits[PlotLimit::MinTemp].Automatic);
  // Time limits do not bound temperatures.
  EXPECT_FALSE(EnterPlotLimit(limits, PlotLimit::MaxTemp, "61").Invalid);
}

TEST_F(LimitBoxTest, AutomaticAndUnreadableTexts) {
  EnterPlotLimit(limits, PlotLimit::MinTemp, "25");
  EXPECT_EQ(EnterPlotLimit(limits, PlotLimit::MinTemp, "a").BoxText, "A");
  EXPECT_TRUE(limits[PlotLimit::MinTemp].Automatic);
  EnterPlotLimit(limits, PlotLimit::MinTemp, "25");
  const LimitEntry automatic = EnterPlotLimit(limits, PlotLimit::MinTemp, "Auto");
  EXPECT_FALSE(automatic.Invalid);
  EXPECT_EQ(automatic.BoxText, "Auto");
  EXPECT_TRUE(limits[PlotLimit::MinTemp].Automatic);
  for (const char* bad : {"", "x5", "1e39", "-"}) {
    EXPECT_TRUE(EnterPlotLimit(limits, PlotLimit::MaxTemp, bad).Invalid) << bad;
  }
}

TEST(RecordedPlot, SeriesInTheirColoursAndLastExtentsWithoutSeries) {
  SeriesPoints sample, probe;
  sample.Rebuild("0 24.1\r\n5 24.3\r\n10 24.5\r\n", 3);
  probe.Rebuild("0 24.2\r\n10 24.4\r\n", 2);
  PlotRenderer renderer;
  RecordingCanvas canvas(674, 510);
  AttachCanvas(renderer, PlotSlot::Main, canvas);
  PlotLimits limits;
  PointExtents extents{};
  DrawRecordedSeries(renderer, limits, extents, {&sample, nullptr, &probe, nullptr, nullptr});
  EXPECT_EQ(renderer.Axes.Horizontal, (AxisRange{-1, 11, 2, 0.5f}));
  EXPECT_EQ(renderer.Axes.Vertical, (AxisRange{24.08f, k2452Hundredths, 0.05f, 0.01f}));
  EXPECT_EQ(canvas.LinesIn({kSeriesColours[0], 1, PenStyle::Solid}).size(), 2u);
  EXPECT_EQ(canvas.LinesIn({kSeriesColours[2], 1, PenStyle::Solid}).size(), 1u);
  EXPECT_EQ(renderer.Series, nullptr);

  // Nothing shown: empty axes with the limits of the last redraw with data.
  canvas = RecordingCanvas(674, 510);
  DrawRecordedSeries(renderer, limits, extents, {});
  EXPECT_EQ(renderer.Axes.Vertical, (AxisRange{24.08f, k2452Hundredths, 0.05f, 0.01f}));
  EXPECT_TRUE(canvas.LinesIn({kSeriesColours[0], 1, PenStyle::Solid}).empty());
}

TEST(RecordedPlot, AtProgramStartTheAxesSpanMinusOneToOne) {
  PlotRenderer renderer;
  RecordingCanvas canvas(674, 510);
  AttachCanvas(renderer, PlotSlot::Main, canvas);
  PlotLimits limits;
  PointExtents extents{};
  DrawRecordedSeries(renderer, limits, extents, {});
  EXPECT_EQ(renderer.Axes.Horizontal, (AxisRange{-1, 1, 0.5f, 0.1f}));
  EXPECT_EQ(renderer.Axes.Vertical, (AxisRange{-1, 1, 0.5f, 0.1f}));
}

}  // namespace
}  // namespace vireo
