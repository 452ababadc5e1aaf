#pragma once
// The spectrometer data table read as melting curves: for each of the six
// cells, the (temperature, absorbance) pairs of its records, read the way the
// plot reads them.

#include <array>
#include <string_view>
#include <vector>

namespace vireo {

struct MeltPoint {
  double temperature = 0;  // degrees Celsius
  double absorbance = 0;
};

inline constexpr int kMeltCells = 6;

using MeltCells = std::array<std::vector<MeltPoint>, kMeltCells>;

// The first line is the header and is skipped; each further line (CR LF or
// LF) is read as the plot reads a record (ParseReading), without the plot's
// limit of points per cell. Lines that fit no cell are left out.
MeltCells ReadMeltCells(std::string_view table);

}  // namespace vireo
