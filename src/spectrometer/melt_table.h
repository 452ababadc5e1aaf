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

// The first line is the header and is skipped. A record is "    %c\t%f\t%f\t%f"
// (letter, wavelength, minutes, temperature); its trailing tabs give the cell
// (none: cell 6, five: cell 1) and the absorbance is the number after the last
// tab before them. Lines that do not have this form, with more than five
// trailing tabs, or whose absorbance is not a number belong to no cell.
// Lines may end in CR LF or LF.
MeltCells ReadMeltCells(std::string_view table);

}  // namespace vireo
