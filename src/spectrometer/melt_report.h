#pragma once
// The melting results as tab-separated text: one line per cell and segment,
// and for a concentration series a second table of the three methods after a
// blank line. Column names carry their unit; energies in kJ or kcal.

#include <array>
#include <string>

#include "spectrometer/melt_set.h"

namespace vireo {

enum class MeltUnits { KJ, Kcal };

// The per-cell header: today's ten columns first, the rest after them.
std::string MeltReportHeader(MeltUnits units = MeltUnits::KJ);

// One line for `row`, without line end; "nan" where there is no number.
std::string MeltReportLine(const MeltRow& row, MeltUnits units = MeltUnits::KJ);

// The series header, first column "method".
std::string MeltSeriesHeader(MeltUnits units = MeltUnits::KJ);

// The lines "individual", "tm_vs_ln_ct" and "global", without line ends.
std::array<std::string, 3> MeltSeriesLines(const MeltSeries& series, MeltUnits units = MeltUnits::KJ);

// The header, a line per row, and with a series a blank line and its table,
// each line ending in `lineEnd`.
std::string MeltReport(const MeltSetResult& set, MeltUnits units = MeltUnits::KJ, const char* lineEnd = "\n");

// The six cells of one spectrometer table, numbered from `firstNumber`, with
// concentrations from `ct` (micromolar; none for a cell without).
std::vector<MeltCell> MeltCellsOf(std::string_view table, int firstNumber = 1,
                                  const std::array<std::optional<double>, kMeltCells>& ct = {});

}  // namespace vireo
