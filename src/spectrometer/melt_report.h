#pragma once
// The melting results of a table as tab-separated text, and the headless
// "--analyse-melt FILE" run that prints it.

#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "spectrometer/melt_analysis.h"

namespace vireo {

inline constexpr const char* kMeltReportHeader =
    "cell\tpoints\ttm_derivative_c\ttm_fit_c\ttm_fit_se_c\tdh_kj_mol\tdh_se_kj_mol\tds_j_mol_k\tdg25_kj_mol\tresidual_sd";

// One line for `cell` (1 to 6), without line end; "nan" where there is no result.
std::string MeltReportLine(int cell, const MeltResult& result);

// The results of every cell of `table` that has records.
std::array<std::optional<MeltResult>, kMeltCells> AnalyseMeltTable(std::string_view table, const MeltRange& range = {});

// The header line and one line per analysed cell, each ending in `lineEnd`.
std::string MeltReport(const std::array<std::optional<MeltResult>, kMeltCells>& results, const char* lineEnd = "\n");

// Reads the data file at `path` and writes its report to `out`. Returns the
// exit status: 0, or 2 when the file cannot be read (the reason goes to `err`).
int AnalyseMeltFile(const char* path, std::FILE* out, std::FILE* err);

}  // namespace vireo
