#include "spectrometer/melt_command.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "spectrometer/melt_report.h"

namespace vireo {
namespace {

struct Command {
  std::vector<std::string> files;
  MeltOptions options;
  MeltUnits units = MeltUnits::KJ;
  std::vector<std::optional<double>> ct;  // by cell number - 1
};

// A whole, finite number; none otherwise.
std::optional<double> Number(std::string_view text) {
  const std::string s(text);
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(s.c_str(), &end);
  if (s.empty() || end != s.c_str() + s.size() || errno != 0 || !std::isfinite(v)) return std::nullopt;
  return v;
}

// An error message, or "" when `value` was taken.
std::string TakeOption(Command& c, std::string_view name, std::string_view value) {
  if (name == "--model") {
    const auto model = MeltModelNamed(value);
    if (!model) return "--model must be unimolecular, heteroduplex or homoduplex";
    c.options.model = *model;
  } else if (name == "--units") {
    if (value == "kJ" || value == "kj") c.units = MeltUnits::KJ;
    else if (value == "kcal") c.units = MeltUnits::Kcal;
    else return "--units must be kJ or kcal";
  } else if (name == "--range") {
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos) return "--range must be LOW:HIGH in degrees Celsius";
    const std::string_view low = value.substr(0, colon), high = value.substr(colon + 1);
    const auto lo = Number(low), hi = Number(high);
    if ((!low.empty() && !lo) || (!high.empty() && !hi) || (lo && hi && *lo >= *hi))
      return "--range must be LOW:HIGH in degrees Celsius, LOW below HIGH";
    c.options.range = {lo, hi};
  } else {  // --ct
    c.ct.clear();
    for (std::size_t start = 0;;) {
      const std::size_t comma = value.find(',', start);
      const std::string_view item = value.substr(start, comma == std::string_view::npos ? value.npos : comma - start);
      const auto v = Number(item);
      if (!item.empty() && !(v && *v > 0)) return "--ct must be concentrations in micromolar, one per cell: " + std::string(item);
      c.ct.push_back(item.empty() ? std::nullopt : v);
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
  }
  return "";
}

bool ReadFile(const std::string& path, std::string& text, std::FILE* err) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file) {
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    const bool failed = std::ferror(file);
    std::fclose(file);
    if (!failed) return true;
  }
  std::fprintf(err, "vireo: cannot read %s: %s\n", path.c_str(), std::strerror(errno ? errno : EIO));
  return false;
}

}  // namespace

int RunAnalyseMelt(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  Command c;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view a = args[i];
    if (!a.starts_with("--")) {
      c.files.push_back(args[i]);
      continue;
    }
    std::string_view name = a, value;
    const std::size_t equals = a.find('=');
    if (equals != std::string_view::npos) {
      name = a.substr(0, equals);
      value = a.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    }
    std::string problem = "unknown option " + std::string(name);
    if (name == "--model" || name == "--units" || name == "--range" || name == "--ct") problem = TakeOption(c, name, value);
    if (!problem.empty()) {
      std::fprintf(err, "vireo: %s\n%s", problem.c_str(), kAnalyseMeltUsage);
      return 2;
    }
  }
  if (c.files.empty()) {
    std::fputs(kAnalyseMeltUsage, err);
    return 2;
  }
  std::vector<MeltCell> cells;
  for (std::size_t f = 0; f < c.files.size(); ++f) {
    std::string text;
    if (!ReadFile(c.files[f], text, err)) return 2;
    std::array<std::optional<double>, kMeltCells> ct;
    for (std::size_t k = 0; k < ct.size(); ++k) {
      const std::size_t number = f * kMeltCells + k;
      if (number < c.ct.size()) ct[k] = c.ct[number];
    }
    for (MeltCell& cell : MeltCellsOf(text, static_cast<int>(f) * kMeltCells + 1, ct)) cells.push_back(std::move(cell));
  }
  std::fputs(MeltReport(AnalyseMeltSet(cells, c.options), c.units).c_str(), out);
  return 0;
}

}  // namespace vireo
