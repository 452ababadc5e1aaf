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
    : config_(std::move(config)),
      random_(config_.seed),
      noise_(0.0, 1.0),
      wavelength_(config_.manners.powerUpWavelength),
      nextWavelength_(wavelength_) {}

std::uint32_t SpectrometerModel::Random(std::uint32_t low, std::uint32_t high) {
  return std::uniform_int_distribution<std::uint32_t>(low, high)(random_);
}

void SpectrometerModel::Later(std::uint32_t delayMs, std::string bytes) {
  if (delayMs == 0) {
    out_ += bytes;
    return;
  }
  const std::uint64_t due = nowMs_ + delayMs;
  auto at = std::find_if(later_.begin(), later_.end(), [due](const auto& item) { return item.first > due; });
  later_.insert(at, {due, std::move(bytes)});
}

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
        Later(config_.manners.ackDelayMs, std::string(1, kAck));
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
    Begin(Work::kReading, config_.manners.cycleMs);
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

void SpectrometerModel::Finish(bool eot) {
  if (eot) out_ += kEot;
  work_ = Work::kNone;
  if (enqWaiting_) {
    enqWaiting_ = false;
    out_ += kAck;
    granted_ = true;
    command_.clear();
  }
}

void SpectrometerModel::SendReading() {
  const SpectrometerManners& m = config_.manners;
  const double value =
      Absorbance(config_.sampleTemperature(), wavelength_) - zeroOffset_ + config_.noise * noise_(random_);
  // Always eight bytes: "d 0.1234", "d-0.0012".
  char text[16];
  std::snprintf(text, sizeof text, "d%7.4f", std::clamp(value, kMinReading, kMaxReading));
  std::string reply = text;

  EotPlacement eot = m.eot;
  if (eot == EotPlacement::Mixed) eot = static_cast<EotPlacement>(Random(0, 2));
  bool eotLost = false, damaged = false;
  if (m.faults > 0.0 && std::uniform_real_distribution<double>(0.0, 1.0)(random_) < m.faults) {
    if (Random(0, 1) == 0) {
      eotLost = true;
    } else {
      // Never a digit or a blank: a byte that turns into another number
      // cannot be told from a reading by anyone.
      static constexpr char kGarbage[] = {'#', '?', '~', static_cast<char>(0xB7)};
      const std::size_t at = Random(0, static_cast<std::uint32_t>(reply.size()));
      reply.insert(at, 1, kGarbage[Random(0, 3)]);
      damaged = at > 0;  // before the "d" it is a stray byte, the reading is whole
    }
  }
  if (!m.readingsLog.empty()) {
    if (std::FILE* log = std::fopen(m.readingsLog.c_str(), "a")) {
      std::fprintf(log, "%.1f\t%s\t%d\n", static_cast<double>(wavelength_), text, damaged ? 1 : 0);
      std::fclose(log);
    }
  }

  std::vector<std::string> pieces{reply};
  if (m.split) {
    pieces.clear();
    std::size_t from = 0;
    for (std::uint32_t left = Random(1, 2); left > 0 && reply.size() - from > 1; --left) {
      const std::size_t cut = Random(static_cast<std::uint32_t>(from + 1), static_cast<std::uint32_t>(reply.size() - 1));
      pieces.push_back(reply.substr(from, cut - from));
      from = cut;
    }
    pieces.push_back(reply.substr(from));
  }
  if (eot == EotPlacement::Joined && !eotLost) pieces.back() += kEot;
  std::uint32_t delay = 0;
  if (eot == EotPlacement::Before) {
    Finish(!eotLost);
    delay = 5;
  }
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) delay += Random(1, 20);
    Later(delay, pieces[i]);
  }
  if (eot == EotPlacement::Before) return;
  if (eot == EotPlacement::Joined || eotLost) {
    // Done once the last piece is out.
    Begin(Work::kEnding, delay);
    eotSilent_ = true;
  } else {
    Begin(Work::kEnding, delay + kEotGapMs);
  }
}

std::string SpectrometerModel::Advance(std::uint32_t milliseconds) {
  nowMs_ += milliseconds;
  if (work_ != Work::kNone && nowMs_ >= dueMs_) Step();
  std::string out = std::exchange(out_, {});
  std::size_t due = 0;
  while (due < later_.size() && later_[due].first <= nowMs_) out += later_[due++].second;
  later_.erase(later_.begin(), later_.begin() + static_cast<std::ptrdiff_t>(due));
  return out;
}

void SpectrometerModel::Step() {
  switch (work_) {
    case Work::kReading:
      SendReading();
      break;
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
      Finish(!std::exchange(eotSilent_, false));
      break;
  }
}

}  // namespace vireo::sim
