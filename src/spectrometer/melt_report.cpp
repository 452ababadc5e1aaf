#include "spectrometer/melt_report.h"

#include <cerrno>
#include <cstring>
#include <cmath>

namespace vireo {
namespace {

void Append(std::string& line, std::optional<double> value, int decimals) {
  char text[64] = "nan";
  if (value && std::isfinite(*value)) std::snprintf(text, sizeof text, "%.*f", decimals, *value);
  line += '\t';
  line += text;
}

}  // namespace

std::string MeltReportLine(int cell, const MeltResult& r) {
  std::string line = std::to_string(cell) + '\t' + std::to_string(r.points);
  const std::optional<MeltFit>& f = r.fit;
  auto field = [&](double MeltFit::*member) { return f ? std::optional<double>(*f.*member) : std::nullopt; };
  Append(line, r.tmDerivative, 2);
  Append(line, field(&MeltFit::tm), 2);
  Append(line, field(&MeltFit::tmSe), 3);
  Append(line, field(&MeltFit::dh), 1);
  Append(line, field(&MeltFit::dhSe), 1);
  Append(line, field(&MeltFit::ds), 1);
  Append(line, field(&MeltFit::dg25), 2);
  Append(line, field(&MeltFit::residualSd), 5);
  return line;
}

std::array<std::optional<MeltResult>, kMeltCells> AnalyseMeltTable(std::string_view table, const MeltRange& range) {
  MeltCells cells = ReadMeltCells(table);
  std::array<std::optional<MeltResult>, kMeltCells> results;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    if (!cells[c].empty()) results[c] = AnalyseMelt(std::move(cells[c]), range);
  }
  return results;
}

std::string MeltReport(const std::array<std::optional<MeltResult>, kMeltCells>& results, const char* lineEnd) {
  std::string text = std::string(kMeltReportHeader) + lineEnd;
  for (std::size_t c = 0; c < results.size(); ++c) {
    if (results[c]) text += MeltReportLine(static_cast<int>(c) + 1, *results[c]) + lineEnd;
  }
  return text;
}

int AnalyseMeltFile(const char* path, std::FILE* out, std::FILE* err) {
  std::FILE* file = std::fopen(path, "rb");
  std::string text;
  if (file) {
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    const bool failed = std::ferror(file);
    std::fclose(file);
    if (failed) file = nullptr;
  }
  if (!file) {
    std::fprintf(err, "vireo: cannot read %s: %s\n", path, std::strerror(errno));
    return 2;
  }
  std::fputs(MeltReport(AnalyseMeltTable(text)).c_str(), out);
  return 0;
}

}  // namespace vireo
