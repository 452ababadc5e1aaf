#include "sim/spectrometer_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace vireo::sim {

namespace {

// Longer than any command the program sends; a longer text is refused whole.
constexpr std::size_t kMaxCommand = 32;
constexpr double kGasConstant = 8.314;  // J/(mol K)
constexpr double kKelvin = 273.15;

// Baselines of the folded and the melted sample at the band's peak:
// absorbance at 25 degrees C and its slope per degree.
constexpr double kFolded25 = 0.60, kFoldedSlope = 0.0004;
constexpr double kMelted25 = 0.78, kMeltedSlope = 0.0006;
// The band: peak and width in nm, and the share of the peak left far from it.
constexpr double kBandPeak = 260.0, kBandWidth = 25.0, kBandFloor = 0.25;

// A wavelength command: "w" and up to five digits of tenths of a nanometre.
bool ReadTenths(std::string_view digits, int& tenths) {
  if (digits.empty() || digits.size() > 5) return false;
  tenths = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return false;
    tenths = tenths * 10 + (c - '0');
  }
  return true;
}

}  // namespace

SpectrometerModel::SpectrometerModel(SpectrometerConfig config)
    : config_(std::move(config)), random_(config_.seed), noise_(0.0, 1.0) {}

double SpectrometerModel::Absorbance(double temperatureC, double wavelengthNm) const {
  const double kelvin = temperatureC + kKelvin;
  const double melting = config_.meltingTemperature + kKelvin;
  // Two states: the melted share follows the van 't Hoff equilibrium constant.
  const double exponent = config_.enthalpy * 1000.0 / kGasConstant * (1.0 / kelvin - 1.0 / melting);
  const double melted = 1.0 / (1.0 + std::exp(exponent));
  const double warmer = temperatureC - 25.0;
  const double folded = kFolded25 + kFoldedSlope * warmer;
  const double open = kMelted25 + kMeltedSlope * warmer;
  const double offPeak = (wavelengthNm - kBandPeak) / kBandWidth;
  const double band = kBandFloor + (1.0 - kBandFloor) * std::exp(-0.5 * offPeak * offPeak);
  return band * (folded + melted * (open - folded));
}

std::string SpectrometerModel::Receive(std::string_view bytes) {
  for (const char c : bytes) {
    if (c == kEnq) {
      if (Working()) {
        enqWaiting_ = true;
      } else {
        out_ += kAck;
        granted_ = true;
        command_.clear();
        unasked_ = overlong_ = false;
      }
    } else if (c == '\0') {
      if (granted_) {
        granted_ = false;
        Execute();
      } else if (unasked_) {
        out_ += kNak;
      }
      command_.clear();
      unasked_ = overlong_ = false;
    } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      // The program's ACKs, line ends: nothing to answer.
    } else if (!granted_) {
      unasked_ = true;
    } else if (command_.size() < kMaxCommand) {
      command_ += c;
    } else {
      overlong_ = true;
    }
  }
  return std::exchange(out_, {});
}

void SpectrometerModel::Execute() {
  int tenths = 0;
  if (overlong_) {
    Refuse();
  } else if (command_ == "d") {
    Begin(Work::kReading, kReadingMs);
  } else if (command_ == "x") {
    Begin(Work::kZero, kZeroMs);
  } else if (command_.size() > 1 && command_[0] == 'w' && ReadTenths(std::string_view(command_).substr(1), tenths) &&
             tenths >= kMinWavelength * 10 && tenths <= kMaxWavelength * 10) {
    nextWavelength_ = static_cast<float>(tenths) / 10.0f;
    Begin(Work::kWavelength, kWavelengthMs);
  } else {
    Refuse();
  }
}

void SpectrometerModel::Begin(Work work, std::uint32_t milliseconds) {
  work_ = work;
  dueMs_ = nowMs_ + milliseconds;
}

void SpectrometerModel::Refuse() {
  out_ += kNak;
  Begin(Work::kEnding, kEotGapMs);
}

void SpectrometerModel::Finish() {
  out_ += kEot;
  work_ = Work::kNone;
  if (enqWaiting_) {
    enqWaiting_ = false;
    out_ += kAck;
    granted_ = true;
    command_.clear();
  }
}

std::string SpectrometerModel::Advance(std::uint32_t milliseconds) {
  nowMs_ += milliseconds;
  if (work_ == Work::kNone || nowMs_ < dueMs_) return std::exchange(out_, {});
  switch (work_) {
    case Work::kReading: {
      const double value = Absorbance(config_.sampleTemperature(), wavelength_) - zeroOffset_ +
                           config_.noise * noise_(random_);
      // Always eight bytes ("d 0.1234", "d-0.0012"): the program takes a
      // shorter reply than its first one for a reply still coming.
      char text[16];
      std::snprintf(text, sizeof text, "d%7.4f", std::clamp(value, kMinReading, kMaxReading));
      out_ += text;
      Begin(Work::kEnding, kEotGapMs);  // due after this call at the earliest
      break;
    }
    case Work::kWavelength:
      wavelength_ = nextWavelength_;
      Finish();
      break;
    case Work::kZero:
      zeroOffset_ = Absorbance(config_.sampleTemperature(), wavelength_);
      Finish();
      break;
    case Work::kEnding:
    case Work::kNone:
      Finish();
      break;
  }
  return std::exchange(out_, {});
}

}  // namespace vireo::sim
