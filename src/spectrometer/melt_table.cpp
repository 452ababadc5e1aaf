#include "spectrometer/melt_table.h"

#include "spectrometer/spectrometer_table.h"

namespace vireo {

MeltCells ReadMeltCells(std::string_view table) {
  static_assert(kMeltCells == kCellCount);
  MeltCells cells;
  std::size_t start = table.find('\n');
  while (start != std::string_view::npos && start < table.size()) {
    ++start;
    const std::size_t end = table.find('\n', start);
    std::string_view line = table.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    SpectrometerReading reading;
    if (ParseReading(line, reading)) {
      cells[static_cast<std::size_t>(reading.cell - 1)].push_back({reading.temperature, reading.absorbance});
    }
    start = end;
  }
  return cells;
}

}  // namespace vireo
