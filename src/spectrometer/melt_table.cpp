#include "spectrometer/melt_table.h"

#include <cctype>
#include <charconv>

namespace vireo {
namespace {

void SkipBlanks(std::string_view& s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
}

// A number after optional white space, as scanf's "%f" would take it.
bool TakeNumber(std::string_view& s, double& value) {
  SkipBlanks(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc()) return false;
  s.remove_prefix(static_cast<std::size_t>(end - s.data()));
  return true;
}

bool ReadRecord(std::string_view line, MeltCells& cells) {
  std::size_t trailing = 0;
  while (trailing < line.size() && line[line.size() - 1 - trailing] == '\t') ++trailing;
  if (trailing >= static_cast<std::size_t>(kMeltCells)) return false;
  const std::string_view body = line.substr(0, line.size() - trailing);

  std::string_view fields = body;
  SkipBlanks(fields);
  if (fields.empty()) return false;
  fields.remove_prefix(1);  // the letter S or P
  double wavelength = 0, minutes = 0, temperature = 0;
  if (!TakeNumber(fields, wavelength) || !TakeNumber(fields, minutes) || !TakeNumber(fields, temperature)) return false;

  const std::size_t lastTab = body.rfind('\t');
  if (lastTab == std::string_view::npos) return false;
  std::string_view reading = body.substr(lastTab + 1);
  // The reading must lie beyond the temperature, not be one of the fields.
  if (reading.data() < fields.data()) return false;
  double absorbance = 0;
  if (!TakeNumber(reading, absorbance)) return false;

  const int cell = kMeltCells - static_cast<int>(trailing);
  cells[static_cast<std::size_t>(cell - 1)].push_back({temperature, absorbance});
  return true;
}

}  // namespace

MeltCells ReadMeltCells(std::string_view table) {
  MeltCells cells;
  std::size_t start = table.find('\n');
  while (start != std::string_view::npos && start < table.size()) {
    ++start;
    const std::size_t end = table.find('\n', start);
    std::string_view line = table.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ReadRecord(line, cells);
    start = end;
  }
  return cells;
}

}  // namespace vireo
