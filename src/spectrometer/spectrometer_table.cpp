#include "spectrometer/spectrometer_table.h"

#include <algorithm>
#include <cmath>

#include "control/text_helpers.h"

namespace vireo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

void SkipBlanks(std::string_view& text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
}

void Widen(PointExtents& e, float x, float y, bool first) {
  if (first) {
    e = {x, x, y, y};
    return;
  }
  e.xMin = std::min(e.xMin, x);
  e.xMax = std::max(e.xMax, x);
  e.yMin = std::min(e.yMin, y);
  e.yMax = std::max(e.yMax, y);
}

}  // namespace

std::string OnlineHeader(int positionCount) {
  if (positionCount <= 1) return kOneCellHeader;
  std::string header = "   P/S\t nm\t min\t  \xB0" "C";
  for (int p = 1; p <= positionCount; ++p) header += Format("\t abs(%d)", p);
  return header;
}

const char* HorizontalLabel(PlotQuantity quantity) {
  switch (quantity) {
    case PlotQuantity::Time:
      return "time (min)";
    case PlotQuantity::Wavelength:
      return "wavelength (nm)";
    case PlotQuantity::Temperature:
      break;
  }
  return "temperature (\xB0" "C)";
}

bool ParseReading(std::string_view line, SpectrometerReading& reading) {
  // The four leading fields, read as "    %c\t%f\t%f\t%f" reads them.
  std::string_view rest = line;
  SkipBlanks(rest);
  if (rest.empty()) return false;
  reading.letter = rest.front();
  rest.remove_prefix(1);
  if (!ScanFloat(rest, reading.wavelength) || !ScanFloat(rest, reading.time) ||
      !ScanFloat(rest, reading.temperature)) {
    return false;
  }
  std::size_t end = line.size();
  while (end > 0 && line[end - 1] == '\t') --end;
  const std::size_t trailing = line.size() - end;
  if (trailing > 5) return false;
  const std::size_t tab = line.rfind('\t', end == 0 ? 0 : end - 1);
  if (tab == std::string_view::npos) return false;
  // A record without a reading must not pass its temperature off as one.
  if (tab < static_cast<std::size_t>(rest.data() - line.data())) return false;
  std::string_view value = line.substr(tab + 1, end - tab - 1);
  if (!ScanFloat(value, reading.absorbance)) return false;
  reading.cell = kCellCount - static_cast<int>(trailing);
  return true;
}

void SpectrometerTable::SetText(std::string_view text) {
  text_.assign(text);
  header_.clear();
  headerSeen_ = false;
  cells_ = {};
  records_ = 0;
  ++generation_;
  std::string_view rest = text_;
  while (!rest.empty()) {
    const std::size_t lf = rest.find('\n');
    TakeLine(rest.substr(0, lf));
    if (lf == std::string_view::npos) break;
    rest.remove_prefix(lf + 1);
  }
}

void SpectrometerTable::AddLine(std::string_view line) {
  if (!text_.empty() && text_.back() != '\n') {
    // The unfinished last line is complete now: it was parsed already as it stood.
    text_ += "\r\n";
  }
  text_.append(line);
  text_ += "\r\n";
  TakeLine(line);
}

void SpectrometerTable::TakeLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (!headerSeen_) {
    headerSeen_ = true;
    header_.assign(line.substr(0, line.find('\r')));
    return;
  }
  SpectrometerReading r;
  if (!ParseReading(line, r)) return;
  Cell& cell = cells_[static_cast<std::size_t>(r.cell - 1)];
  const std::array<float, 3> x{r.time, r.temperature, r.wavelength};
  const bool first = cell.points[0].Count() == 0;
  for (std::size_t q = 0; q < 3; ++q) {
    cell.points[q].Add(x[q], r.absorbance);
    Widen(cell.extents[q], x[q], r.absorbance, first);
  }
  ++records_;
}

const SeriesPoints& SpectrometerTable::Points(int cell, PlotQuantity quantity) const {
  return cells_[static_cast<std::size_t>(cell - 1)].points[static_cast<std::size_t>(quantity)];
}

bool SpectrometerTable::CellExtents(int cell, PlotQuantity quantity, PointExtents& extents) const {
  const Cell& c = cells_[static_cast<std::size_t>(cell - 1)];
  if (c.points[0].Count() == 0) return false;
  extents = c.extents[static_cast<std::size_t>(quantity)];
  return true;
}

}  // namespace vireo
