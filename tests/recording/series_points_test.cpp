#include "recording/series_points.h"

#include <gtest/gtest.h>

#include "recording/points_of.h"
#include "recording/series_decimation.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace vireo {
namespace {

Points Parse(std::string_view text, int lineCount = 1000) {
  SeriesPoints s;
  s.Rebuild(text, lineCount);
  return PointsOf(s);
}

TEST(SeriesParse, RecordedLines) {
  EXPECT_EQ(Parse(" 0.045\t 24.34\r\n 0.095\t 24.35\r\n"), (Points{{0.045f, 24.34f}, {0.095f, 24.35f}}));
  // A last line without a line break is read like the others.
  EXPECT_EQ(Parse("1\t20\r\n2\t21"), (Points{{1, 20}, {2, 21}}));
  // Signs, bare points, exponents, several blanks.
  EXPECT_EQ(Parse("  +1.5 \t -2e1\r\n.5\t-.25\r\n"), (Points{{1.5f, -20}, {0.5f, -0.25f}}));
  EXPECT_TRUE(Parse("").empty());
}

TEST(SeriesParse, LfOnlyTextIsOneLine) {
  // "%f%f" skips the LF between the numbers of the first record and stops.
  EXPECT_EQ(Parse("1\t20\n2\t21\n3\t22\n"), (Points{{1, 20}}));
}

TEST(SeriesParse, TheNextLineStartsTwoCharactersAfterACr) {
  // CR-only line ends lose the first character of each following line.
  EXPECT_EQ(Parse("1 20\r32 21\r43 22"), (Points{{1, 20}, {2, 21}, {3, 22}}));
}

TEST(SeriesParse, UnreadableNumbersKeepThePreviousLine) {
  EXPECT_EQ(Parse("1 20\r\nabc\r\n3 x\r\n\r\n4 30\r\n"),
            (Points{{1, 20}, {1, 20}, {3, 20}, {3, 20}, {4, 30}}));
  // Reading stops at the first failure: the temperature is not read either.
  EXPECT_EQ(Parse("1 20\r\nx 30\r\n"), (Points{{1, 20}, {1, 20}}));
  // Infinity and NaN, and numbers beyond single precision, cannot be placed.
  EXPECT_EQ(Parse("1 20\r\ninf 5\r\n2 nan\r\n1e39 7\r\n"), (Points{{1, 20}, {1, 20}, {2, 20}, {2, 20}}));
}

TEST(SeriesParse, LinesBeforeTheFirstNumbersAddNothing) {
  EXPECT_EQ(Parse("time\ttemperature\r\n5\r\n1 20\r\n"), (Points{{1, 20}}));
  // A time read alone is kept for a later line without one.
  EXPECT_EQ(Parse("5\r\n\r\n 7 20\r\n"), (Points{{7, 20}}));
  EXPECT_EQ(Parse("5\r\n-\t20\r\n"), Points{});
}

TEST(SeriesParse, ExtentsStartFromFixedBounds) {
  SeriesPoints s;
  EXPECT_EQ(s.Extents(), kSeriesStartExtents);
  s.Rebuild("-3 24.5\r\n-1 24.1\r\n", 2);
  // The time maximum never goes below 0.
  EXPECT_EQ(s.Extents(), (PointExtents{-3, 0, 24.1f, 24.5f}));
  s.Rebuild("2100 600\r\n2200 700\r\n", 2);
  EXPECT_EQ(s.Extents(), (PointExtents{2000, 2200, 500, 700}));
}

TEST(SeriesParse, AtMostTheLineCountPlusFivePoints) {
  std::string crOnly;
  for (int i = 0; i < 20; ++i) crOnly.append("0").append(std::to_string(i)).append(" 20\r");
  SeriesPoints s;
  s.Rebuild(crOnly, 1);  // the memo shows it as one line
  EXPECT_EQ(s.Count(), 6u);
  EXPECT_EQ(s.X()[5], 5.0f);
  s.Rebuild(crOnly, 0);
  EXPECT_EQ(s.Count(), 5u);
}

TEST(SeriesParse, PlainDecimalsRoundExactlyAsFromChars) {
  std::mt19937 random(7);
  for (int i = 0; i < 300000; ++i) {
    const int digits = 1 + static_cast<int>(random() % 17);
    const int decimals = static_cast<int>(random() % (std::min(digits, 10) + 1));
    std::string text;
    for (int d = 0; d < digits; ++d) text += static_cast<char>('0' + random() % 10);
    if (decimals > 0) text.insert(text.end() - decimals, '.');
    float expected = 0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    std::string_view view = text;
    float read = 0;
    ASSERT_TRUE(ScanFloat(view, read)) << text;
    ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << text;
    ASSERT_TRUE(view.empty()) << text;
  }
  // Decimals written next to the halfway points between floats, where a
  // rounding in between would show.
  std::uniform_real_distribution<float> magnitude(-8, 7);
  for (int i = 0; i < 30000; ++i) {
    const float f = std::pow(10.0f, magnitude(random));
    const double halfway = (static_cast<double>(f) + static_cast<double>(std::nextafter(f, 1e30f))) / 2;
    for (int decimals = 0; decimals <= 8; ++decimals) {
      char text[64];
      const int n = std::snprintf(text, sizeof text, "%.*f", decimals, halfway);
      float expected = 0;
      std::from_chars(text, text + n, expected);
      std::string_view view(text, static_cast<std::size_t>(n));
      float read = 0;
      ASSERT_TRUE(ScanFloat(view, read)) << text;
      ASSERT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << text;
    }
  }
}

TEST(SeriesParse, ScanFloatConsumesOnlyTheNumber) {
  std::string_view text = " \t-12.5e1x 3";
  float value = 0;
  ASSERT_TRUE(ScanFloat(text, value));
  EXPECT_EQ(value, -125.0f);
  EXPECT_EQ(text, "x 3");
  EXPECT_FALSE(ScanFloat(text, value));
  text = "1e+";
  ASSERT_TRUE(ScanFloat(text, value));
  EXPECT_EQ(value, 1.0f);
  EXPECT_EQ(text, "e+");
  for (std::string_view bad : {"", " ", ".", "-", "+.", "e5", "nan", "-inf", "0x"}) {
    std::string_view copy = bad;
    if (bad == "0x") {
      EXPECT_TRUE(ScanFloat(copy, value));  // reads the 0, as "%f" without hex would
      EXPECT_EQ(copy, "x");
    } else {
      EXPECT_FALSE(ScanFloat(copy, value)) << bad;
    }
  }
}

TEST(SeriesParse, ExtremesOfARangeAgreeWithAPlainSearch) {
  SeriesPoints s;
  std::mt19937 random(3);
  for (int i = 0; i < 1000; ++i) s.Add(static_cast<float>(i), static_cast<float>(random() % 50));
  for (int trial = 0; trial < 2000; ++trial) {
    std::size_t begin = random() % 1000, end = random() % 1000 + 1;
    if (begin >= end) std::swap(begin, end);
    if (begin == end) continue;
    const auto y = s.Y();
    const auto lowest = std::min_element(y.begin() + static_cast<long>(begin), y.begin() + static_cast<long>(end));
    const auto highest = std::max_element(y.begin() + static_cast<long>(begin), y.begin() + static_cast<long>(end));
    const auto found = s.YExtremes(begin, end);
    ASSERT_EQ(found.lowest, static_cast<std::size_t>(lowest - y.begin()));  // the earliest on ties
    ASSERT_EQ(found.highest, static_cast<std::size_t>(highest - y.begin()));
  }
}

TEST(SeriesParse, AscendingTimesAreTracked) {
  SeriesPoints s;
  s.Rebuild("1 2\r\n1 3\r\n2 4\r\n", 3);
  EXPECT_TRUE(s.XAscending());
  ASSERT_TRUE(s.AppendText("1.5 5\r\n", 4));
  EXPECT_FALSE(s.XAscending());
}

// The incremental copy must equal a parse of the whole text.
TEST(SeriesIncremental, RecordsAppendedAgreeWithAFullParse) {
  SeriesPoints live;
  std::string text;
  int lines = 0;
  for (int i = 0; i < 300; ++i) {
    const std::string record = std::to_string(i * 0.05) + "\t" + std::to_string(20 + i % 7) + "\r\n";
    text += record;
    ++lines;
    ASSERT_TRUE(live.AppendText(record, lines));
  }
  SeriesPoints full;
  full.Rebuild(text, lines);
  EXPECT_EQ(PointsOf(live), PointsOf(full));
  EXPECT_EQ(live.Extents(), full.Extents());
}

TEST(SeriesIncremental, AnyTailThatCanContinueAgrees) {
  // Random texts split at random places: wherever AppendText accepts the
  // rest, the result equals the full parse.
  std::mt19937 random(11);
  const std::string alphabet = "0123456789.-+ \t\r\r\n\nxe";
  int continued = 0;
  for (int trial = 0; trial < 5000; ++trial) {
    std::string text;
    const std::size_t length = random() % 40;
    for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    const std::size_t split = length == 0 ? 0 : random() % (length + 1);
    SeriesPoints live;
    live.Rebuild(std::string_view(text).substr(0, split), 1000);
    SeriesPoints full;
    full.Rebuild(text, 1000);
    if (live.AppendText(std::string_view(text).substr(split), 1000)) {
      ++continued;
      ASSERT_EQ(PointsOf(live), PointsOf(full)) << "split " << split << " of [" << text << "]";
    } else {
      // Only an open last line that the rest extends is refused.
      ASSERT_NE(split, 0u);
      ASSERT_NE(text[split - 1], '\r');
      ASSERT_NE(text[split], '\r');
    }
  }
  EXPECT_GT(continued, 1500);
}

TEST(SeriesIncremental, RefusesWhatItCannotFollow) {
  SeriesPoints s;
  s.Rebuild("1 20\r\n2 2", 2);
  // The open line "2 2" would become "2 21".
  EXPECT_FALSE(s.AppendText("1\r\n", 2));
  // Points cut off by the bound would come back with a larger bound.
  s.Rebuild("1 20\r2 21\r3 22\r4 23\r5 24\r6 25\r7 26\r", 1);
  EXPECT_EQ(s.Count(), 6u);
  EXPECT_FALSE(s.AppendText("\r\n8 27\r\n", 2));
}

}  // namespace
}  // namespace vireo

namespace vireo {
namespace {

// Where the plot's line breaks: a lost link leaves a step far wider than the
// usual one; data recorded at a slower pace than the current limit do not.
TEST(SeriesGaps, BreakOnlyWhereAStepIsBothWideAndUnusual) {
  struct Case {
    const char* name;
    const char* text;
    float gap;
    std::vector<std::size_t> starts;
  };
  const Case cases[] = {
      {"steady reports", "0\t1\r\n0.05\t1\r\n0.1\t1\r\n0.15\t1\r\n", 0.25f, {}},
      {"a loss of a minute", "0\t1\r\n0.05\t1\r\n0.1\t1\r\n1.1\t1\r\n1.15\t1\r\n", 0.25f, {3}},
      {"two losses", "0\t1\r\n0.05\t1\r\n1\t1\r\n1.05\t1\r\n2\t1\r\n2.05\t1\r\n", 0.25f, {2, 4}},
      {"a gap after the first point", "0\t1\r\n1\t1\r\n1.05\t1\r\n1.1\t1\r\n", 0.25f, {1}},
      {"a slower file", "0\t1\r\n1\t1\r\n2\t1\r\n3\t1\r\n", 0.25f, {}},
      {"no limit", "0\t1\r\n0.05\t1\r\n9\t1\r\n", 0.0f, {}},
      {"times not ascending", "0\t1\r\n0.05\t1\r\n9\t1\r\n0.1\t1\r\n", 0.25f, {}},
  };
  for (const Case& c : cases) {
    SeriesPoints s;
    s.Rebuild(c.text, 100);
    EXPECT_EQ(GapStarts(s, c.gap), c.starts) << c.name;
  }
}

}  // namespace
}  // namespace vireo
