#include "spectrometer/melt_report.h"

#include <cmath>
#include <cstdio>

namespace vireo {
namespace {

void Append(std::string& line, std::optional<double> value, int decimals) {
  char text[64] = "nan";
  if (value && std::isfinite(*value)) std::snprintf(text, sizeof text, "%.*f", decimals, *value);
  line += '\t';
  line += text;
}

double Energy(MeltUnits units) { return units == MeltUnits::Kcal ? 1 / kJoulesPerCalorie : 1.0; }

// "kj_mol" / "kcal_mol" and "j_mol_k" / "cal_mol_k".
std::string EnergyUnit(MeltUnits units) { return units == MeltUnits::Kcal ? "kcal_mol" : "kj_mol"; }
std::string EntropyUnit(MeltUnits units) { return units == MeltUnits::Kcal ? "cal_mol_k" : "j_mol_k"; }

const char* Status(const MeltResult& r) {
  switch (r.outcome) {
    case MeltOutcome::TooFewPoints: return "too_few_points";
    case MeltOutcome::NoTransition: return "no_transition";
    case MeltOutcome::NoConcentration: return "no_concentration";
    case MeltOutcome::Ok: break;
  }
  return !r.fit ? "no_fit" : r.fit->complete ? "ok" : "incomplete";
}

void AppendMethod(std::string& line, const std::optional<MeltMethod>& m, MeltUnits units) {
  const double e = Energy(units);
  auto field = [&](double MeltMethod::*member, double scale) {
    return m ? std::optional<double>((*m).*member * scale) : std::nullopt;
  };
  Append(line, field(&MeltMethod::dh, e), 1);
  Append(line, field(&MeltMethod::dhSe, e), 1);
  Append(line, field(&MeltMethod::ds, e), 1);
  Append(line, field(&MeltMethod::dsSe, e), 1);
  Append(line, field(&MeltMethod::dg37, e), 2);
  Append(line, field(&MeltMethod::dg37Se, e), 2);
}

}  // namespace

std::string MeltReportHeader(MeltUnits u) {
  const std::string e = EnergyUnit(u), s = EntropyUnit(u);
  return "cell\tpoints\ttm_derivative_c\ttm_fit_c\ttm_fit_se_c\tdh_" + e + "\tdh_se_" + e + "\tds_" + s + "\tdg25_" + e +
         "\tresidual_sd\tds_se_" + s + "\tdg25_se_" + e + "\tdg37_" + e + "\tdg37_se_" + e +
         "\tct_um\tsegment\thysteresis_c\toutliers\tstatus";
}

std::string MeltReportLine(const MeltRow& row, MeltUnits units) {
  const MeltResult& r = row.result;
  std::string line = std::to_string(row.cell) + '\t' + std::to_string(r.points);
  const std::optional<MeltFit>& f = r.fit;
  const double e = Energy(units);
  auto field = [&](double MeltFit::*member, double scale = 1) {
    return f ? std::optional<double>(*f.*member * scale) : std::nullopt;
  };
  Append(line, r.tmDerivative, 2);
  Append(line, field(&MeltFit::tm), 2);
  Append(line, field(&MeltFit::tmSe), 3);
  Append(line, field(&MeltFit::dh, e), 1);
  Append(line, field(&MeltFit::dhSe, e), 1);
  Append(line, field(&MeltFit::ds, e), 1);
  Append(line, field(&MeltFit::dg25, e), 2);
  Append(line, field(&MeltFit::residualSd), 5);
  Append(line, field(&MeltFit::dsSe, e), 1);
  Append(line, field(&MeltFit::dg25Se, e), 2);
  Append(line, field(&MeltFit::dg37, e), 2);
  Append(line, field(&MeltFit::dg37Se, e), 2);
  Append(line, row.ct, 2);
  line += '\t';
  line += MeltDirectionName(row.direction);
  Append(line, row.hysteresis, 2);
  line += '\t' + std::to_string(r.outliers.size()) + '\t' + Status(r);
  return line;
}

std::string MeltSeriesHeader(MeltUnits u) {
  const std::string e = EnergyUnit(u), s = EntropyUnit(u);
  return "method\tdh_" + e + "\tdh_se_" + e + "\tds_" + s + "\tds_se_" + s + "\tdg37_" + e + "\tdg37_se_" + e +
         "\tcells\tr2\tdh_spread_pct";
}

std::array<std::string, 3> MeltSeriesLines(const MeltSeries& s, MeltUnits units) {
  std::array<std::string, 3> lines{"individual", "tm_vs_ln_ct", "global"};
  const std::optional<MeltMethod> methods[] = {s.individual, s.tmVsLnCt, s.global};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    AppendMethod(lines[i], methods[i], units);
    lines[i] += '\t' + std::to_string(s.cells);
    Append(lines[i], i == 1 ? std::optional(s.r2) : std::nullopt, 4);
    Append(lines[i], s.dhSpreadPercent, 1);
  }
  return lines;
}

std::string MeltReport(const MeltSetResult& set, MeltUnits units, const char* lineEnd) {
  std::string text = MeltReportHeader(units) + lineEnd;
  for (const MeltRow& row : set.rows) text += MeltReportLine(row, units) + lineEnd;
  if (!set.series) return text;
  text += lineEnd + MeltSeriesHeader(units) + lineEnd;
  for (const std::string& line : MeltSeriesLines(*set.series, units)) text += line + lineEnd;
  return text;
}

std::vector<MeltCell> MeltCellsOf(std::string_view table, int firstNumber,
                                  const std::array<std::optional<double>, kMeltCells>& ct) {
  MeltCells cells = ReadMeltCells(table);
  std::vector<MeltCell> out;
  for (std::size_t c = 0; c < cells.size(); ++c) {
    out.push_back({firstNumber + static_cast<int>(c), std::move(cells[c]), ct[c]});
  }
  return out;
}

}  // namespace vireo
