// The data table's parsed copy: which lines are readings of which cell, the
// header rule, and that every reading is kept for the plot.
#include "spectrometer/spectrometer_table.h"

#include <gtest/gtest.h>

namespace vireo {
namespace {

TEST(SpectrometerTable, ReadingsBelongToTheCellTheirTrailingTabsName) {
  struct Case {
    const char* line;
    int cell;  // 0: fits no cell
    float absorbance;
  };
  const Case cases[] = {
      {"    S\t550.0\t 1.234\t 25.00\t 0.1234\t\t\t\t\t", 1, 0.1234f},
      {"    S\t550.0\t 1.234\t 25.00\t\t\t 0.4321\t\t\t", 3, 0.4321f},
      {"    P\t550.0\t 1.234\t 25.00\t\t\t\t\t\t 0.9", 6, 0.9f},
      {"    S\t550.0\t 1.234\t 25.00\t\t\t\t\t\t\t", 0, 0},          // no reading, six tabs
      {"    S\t550.0\t 1.234\t 25.00\t 0.1\t\t\t\t\t\t", 0, 0},     // six trailing tabs
      {"   P/S\t nm\t min\t  \xB0" "C\t  abs", 0, 0},                 // a header
      {"    S\t550.0\t 1.234\t 25.00\t d?\t\t\t\t\t", 0, 0},         // no number
      {"", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    SpectrometerReading r;
    ASSERT_EQ(ParseReading(c.line, r), c.cell != 0);
    if (c.cell == 0) continue;
    EXPECT_EQ(r.cell, c.cell);
    EXPECT_FLOAT_EQ(r.absorbance, c.absorbance);
    EXPECT_FLOAT_EQ(r.wavelength, 550.0f);
    EXPECT_FLOAT_EQ(r.time, 1.234f);
    EXPECT_FLOAT_EQ(r.temperature, 25.0f);
  }
}

TEST(SpectrometerTable, AHeaderOfMoreThanThirtyCharactersMeansSeveralCells) {
  SpectrometerTable table;
  table.SetText(std::string(30, 'h') + "\r\n");
  EXPECT_FALSE(table.MultiCell());
  table.SetText(std::string(31, 'h') + "\r\n");
  EXPECT_TRUE(table.MultiCell());
  EXPECT_TRUE(SpectrometerTable{}.MultiCell() == false);
  EXPECT_FALSE(std::string_view(kOneCellHeader).size() > kOneCellHeaderLimit);
  EXPECT_GT(OnlineHeader(4).size(), kOneCellHeaderLimit);
  EXPECT_EQ(OnlineHeader(2), "   P/S\t nm\t min\t  \xB0" "C\t abs(1)\t abs(2)");
}

TEST(SpectrometerTable, LinesThatFitNoCellAreSkippedAndEveryReadingIsKept) {
  std::string text = std::string(kOneCellHeader) + "\r\nnot a record\r\n";
  for (int i = 0; i < 1500; ++i) text += "    S\t550.0\t" + std::to_string(i) + "\t 25.00\t 0.5\t\t\t\t\t\r\n";
  text += "    S\t550.0\t 1\t 25\t 0.5\t\t\t\t\t\t\t\t\r\n";  // eight trailing tabs
  SpectrometerTable table;
  table.SetText(text);
  EXPECT_EQ(table.RecordCount(), 1500u);
  EXPECT_EQ(table.Points(1, PlotQuantity::Time).Count(), 1500u);
  for (int cell = 2; cell <= kCellCount; ++cell) EXPECT_EQ(table.Points(cell, PlotQuantity::Time).Count(), 0u);
  PointExtents e;
  ASSERT_TRUE(table.CellExtents(1, PlotQuantity::Time, e));
  EXPECT_EQ(e, (PointExtents{0, 1499, 0.5f, 0.5f}));
  EXPECT_EQ(table.Text(), text);  // the text itself is kept as it came
}

TEST(SpectrometerTable, AddedLinesFollowTheTextAsAFullParseWould) {
  SpectrometerTable added;
  added.SetText("header\nloaded\t\t\t\t\t");  // LF lines, no final line end
  added.AddLine("    S\t600.0\t 2.0\t 30.0\t\t 0.7\t\t\t\t");
  EXPECT_EQ(added.Text(), "header\nloaded\t\t\t\t\t\r\n    S\t600.0\t 2.0\t 30.0\t\t 0.7\t\t\t\t\r\n");
  SpectrometerTable parsed;
  parsed.SetText(added.Text());
  for (int cell = 1; cell <= kCellCount; ++cell) {
    EXPECT_EQ(added.Points(cell, PlotQuantity::Wavelength).Count(), parsed.Points(cell, PlotQuantity::Wavelength).Count());
  }
  EXPECT_EQ(parsed.Points(2, PlotQuantity::Temperature).Count(), 1u);
  EXPECT_FLOAT_EQ(parsed.Points(2, PlotQuantity::Wavelength).X()[0], 600.0f);
}

}  // namespace
}  // namespace vireo
