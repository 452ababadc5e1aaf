#pragma once
// A simulated UV-Vis spectrophotometer on a virtual clock, as the program
// talks to it: the program asks with ENQ and is granted with ACK, sends a
// command ended by NUL, and the instrument signals the end of the work with
// EOT. "d" is answered with a reading "d 0.1234" before the EOT; "w5500" sets
// the wavelength in tenths of a nanometre; "x" zeroes the absorbance.
// SpectrometerManners make it behave as real instruments do on a USB adapter:
// replies in pieces, EOT anywhere, a slow cycle, a wavelength of its own, a
// byte lost or garbled now and then.
// No threads and no I/O: the caller feeds bytes and moves the clock.

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/spectrometer_options.h"

namespace vireo::sim {

inline constexpr char kEnq = 0x05;
inline constexpr char kAck = 0x06;
inline constexpr char kEot = 0x04;
inline constexpr char kNak = 0x15;

// Work times of the instrument, in milliseconds ("d" until its reading:
// SpectrometerManners::cycleMs).
inline constexpr std::uint32_t kWavelengthMs = 1000;  // "w" until EOT
inline constexpr std::uint32_t kZeroMs = 800;        // "x" until EOT
// From a reading, or a refusal, to its EOT: never in the same output, so
// that the program sees them in separate chunks.
inline constexpr std::uint32_t kEotGapMs = 150;

// Wavelengths the monochromator reaches, nm.
inline constexpr float kMinWavelength = 190.0f;
inline constexpr float kMaxWavelength = 1100.0f;
// Readings are held within the photometric range, absorbance.
inline constexpr double kMinReading = -4.0;
inline constexpr double kMaxReading = 5.0;

class SpectrometerModel {
 public:
  explicit SpectrometerModel(SpectrometerConfig config = {});

  // Bytes from the program; returns the bytes answered at once.
  std::string Receive(std::string_view bytes);
  // Moves the clock on and returns what the instrument sent as its work went on.
  std::string Advance(std::uint32_t milliseconds);

  // The sample's absorbance without zero and noise.
  double Absorbance(double temperatureC, double wavelengthNm) const;

  float Wavelength() const { return wavelength_; }
  double ZeroOffset() const { return zeroOffset_; }
  bool Working() const { return work_ != Work::kNone; }
  std::uint64_t NowMs() const { return nowMs_; }

 private:
  enum class Work { kNone, kReading, kWavelength, kZero, kEnding };

  void Execute();
  void Begin(Work work, std::uint32_t milliseconds);
  void Refuse();
  void Finish(bool eot = true);
  void SendReading();
  void Step();
  // Output that leaves `delayMs` from now.
  void Later(std::uint32_t delayMs, std::string bytes);
  std::uint32_t Random(std::uint32_t low, std::uint32_t high);

  SpectrometerConfig config_;
  std::mt19937_64 random_;
  std::normal_distribution<double> noise_;

  float wavelength_;
  double zeroOffset_ = 0.0;
  float nextWavelength_;  // where a "w" in progress goes

  bool granted_ = false;     // ACK sent to an ENQ: the command text may come
  bool enqWaiting_ = false;  // an ENQ came while working: granted when done
  bool unasked_ = false;     // text came without the handshake
  bool overlong_ = false;    // the command outgrew kMaxCommand
  std::string command_;

  Work work_ = Work::kNone;
  bool eotSilent_ = false;  // the work in progress ends without an EOT of its own
  std::uint64_t nowMs_ = 0;
  std::uint64_t dueMs_ = 0;  // when the work in progress takes its next step
  std::string out_;
  std::vector<std::pair<std::uint64_t, std::string>> later_;  // by due time
};

}  // namespace vireo::sim
