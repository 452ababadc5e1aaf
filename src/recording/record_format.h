#pragma once
// The text of one series record: elapsed minutes, a tab, degrees Celsius,
// laid out by one of three writable formats.

#include <cstdint>
#include <string>

#include "control/text_helpers.h"

namespace vireo {

// "%6.3f\t%6.2f": time right-aligned in 6 columns with 3 decimals, a tab,
// temperature in 6 columns with 2 decimals.
inline constexpr const char* kInitialRecordFormat = "%6.3f\t%6.2f";

struct RecordFormats {
  FixedText<15> Sample{kInitialRecordFormat};     // series 1
  FixedText<15> Probe{kInitialRecordFormat};      // series 3
  FixedText<15> Reference{kInitialRecordFormat};  // series 2, 4 and 5
};

// The format of series 1 to 5 (any other number gets the reference format).
const FixedText<15>& RecordFormatFor(const RecordFormats& formats, int series);

std::string FormatRecord(const FixedText<15>& format, float minutes, float temperature);

// Minutes from the time base to now, both millisecond tick counts: the
// unsigned difference makes the 49.7-day wrap of the tick count harmless.
float ElapsedMinutes(std::uint32_t now, std::uint32_t timeBase);

// The decimals command with its digit `d`: the sample format gets 4 time
// decimals and `d` temperature decimals; the probe and reference formats
// change the same way only on firmware below 7.0 and for "1" to "4". A `d`
// that is not a digit changes only the sample's time decimals: any other
// character in a precision would make the format misbehave in printf.
// Records already made keep their layout.
void SetRecordDecimals(RecordFormats& formats, char d, float firmwareVersion);

}  // namespace vireo
