#include "recording/record_format.h"

namespace vireo {
namespace {

// The precision digits of "%6.3f\t%6.2f"; only SetRecordDecimals changes
// them, and only to digits, so they stay where they are.
constexpr std::size_t kTimeDecimalsAt = 3;
constexpr std::size_t kTemperatureDecimalsAt = 9;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void SetDecimals(FixedText<15>& format, char temperatureDecimals) {
  format.data[kTimeDecimalsAt] = '4';
  if (IsDigit(temperatureDecimals)) format.data[kTemperatureDecimalsAt] = temperatureDecimals;
}

}  // namespace

const FixedText<15>& RecordFormatFor(const RecordFormats& formats, int series) {
  if (series == 1) return formats.Sample;
  if (series == 3) return formats.Probe;
  return formats.Reference;
}

std::string FormatRecord(const FixedText<15>& format, float minutes, float temperature) {
  return Format(format.CStr(), static_cast<double>(minutes), static_cast<double>(temperature));
}

float ElapsedMinutes(std::uint32_t now, std::uint32_t timeBase) {
  const std::uint32_t milliseconds = now - timeBase;
  return static_cast<float>(milliseconds / 60000.0);
}

void SetRecordDecimals(RecordFormats& formats, char d, float firmwareVersion) {
  SetDecimals(formats.Sample, d);
  if (firmwareVersion < 7.0f && d >= '1' && d <= '4') {
    SetDecimals(formats.Probe, d);
    SetDecimals(formats.Reference, d);
  }
}

}  // namespace vireo
