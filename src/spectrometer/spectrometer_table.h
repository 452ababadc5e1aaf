#pragma once
// The spectrometer's data table and its parsed copy. The table is text: a
// header line, then one record per reading,
//   four blanks, "S" or "P", tab, wavelength, tab, minutes, tab, degrees,
//   tab, six absorbance columns of which one is filled,
// lines separated by CR LF. The number of tabs after the reading names its
// cell (none: cell 6, five: cell 1). The parsed copy follows the text line
// by line, so a redraw after one more reading costs no re-parse.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "recording/plot_limits.h"
#include "recording/plot_renderer.h"
#include "recording/series_points.h"

namespace vireo {

inline constexpr int kCellCount = 6;
inline constexpr const char* kOneCellHeader = "   P/S\t nm\t min\t  \xB0" "C\t  abs";
inline constexpr const char* kSixCellSimulationHeader =
    "   P/S \t nm\t min\t \xB0" "C\t abs(1)\t abs(2)\t abs(3)\t abs(4)\t abs(5)\t abs(6)";
// A header longer than this is a table with one absorbance column per cell.
inline constexpr std::size_t kOneCellHeaderLimit = 30;

// Cells 1 to 6: black, green, red, blue, violet, gray.
inline constexpr std::array<PlotColour, kCellCount> kCellColours{
    {{0, 0, 0}, {0, 255, 0}, {255, 0, 0}, {0, 0, 255}, {255, 0, 255}, {192, 192, 192}}};

// The header of an online table: one cell, or one column per changer position.
std::string OnlineHeader(int positionCount);

// The horizontal quantity of the plot, in the order of "plot vs".
enum class PlotQuantity { Time = 0, Temperature = 1, Wavelength = 2 };
const char* HorizontalLabel(PlotQuantity quantity);

struct SpectrometerWindowState {
  bool RecordSample = false;
  bool RecordProbe = false;
  std::array<bool, kCellCount> CellShown{true, true, true, true, true, true};
  bool MultiCellTable = false;
  bool MainWindowShown = true;
  bool TraceShown = false;
  bool SixCellMode = true;
  bool PortsListed = false;
  std::int32_t SimulationRestarts = -1;
  float SimulationTime = 15.0f;
  float SimulationTemperature = 15.0f;
  PlotQuantity Quantity = PlotQuantity::Temperature;
  // This plot's own vertical label: the main plot keeps its own.
  FixedText<100> VerticalAxisLabel{"absorbance"};
  // Horizontal minimum, maximum, increment, then vertical (absorbance).
  PlotLimits Limits;
};

struct SpectrometerReading {
  char letter = 0;
  float wavelength = 0, time = 0, temperature = 0, absorbance = 0;
  int cell = 0;  // 1 to 6
};

// One record line (without its line end); false when it fits no cell: not
// of the record's form, no readable absorbance, or more than five tabs
// after it.
bool ParseReading(std::string_view line, SpectrometerReading& reading);

class SpectrometerTable {
 public:
  // The table's text, CR LF between lines.
  const std::string& Text() const { return text_; }
  // Replaces the whole text (a loaded file) and parses it again.
  void SetText(std::string_view text);
  void Clear() { SetText({}); }
  // Adds a line; a text that does not end with a line end first gets one.
  void AddLine(std::string_view line);

  // The first line is longer than 30 characters.
  bool MultiCell() const { return header_.size() > kOneCellHeaderLimit; }
  // A cell's points against each horizontal quantity (absorbance vertical).
  const SeriesPoints& Points(int cell, PlotQuantity quantity) const;
  // Extents of a cell's points against `quantity`; false when it has none.
  bool CellExtents(int cell, PlotQuantity quantity, PointExtents& extents) const;
  std::size_t RecordCount() const { return records_; }
  // Counts the whole replacements of the text: a plot drawn before the last
  // one shows other readings.
  std::uint64_t Generation() const { return generation_; }

 private:
  struct Cell {
    std::array<SeriesPoints, 3> points;  // by PlotQuantity
    std::array<PointExtents, 3> extents{};
  };
  void TakeLine(std::string_view line);

  std::string text_;
  std::string header_;
  bool headerSeen_ = false;
  std::array<Cell, kCellCount> cells_;
  std::size_t records_ = 0;
  std::uint64_t generation_ = 0;
};

}  // namespace vireo
