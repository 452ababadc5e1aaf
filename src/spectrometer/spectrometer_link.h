#pragma once
// The spectrophotometer's serial handshake: every command goes out as ENQ,
// waits for the instrument's ACK, then follows as its text and a NUL byte; the
// instrument's bytes are acknowledged one by one, EOT ends its busy state, and
// the reply to a reading request completes the measurement record. Bytes come
// in, bytes to write and events go out through the host, so the handshake
// runs without a port or a window.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "control/text_helpers.h"

namespace vireo {

inline constexpr char kEnq = 0x05;
inline constexpr char kAck = 0x06;
inline constexpr char kEot = 0x04;
inline constexpr char kEsc = 0x1B;
inline constexpr char kNak = 0x15;

inline constexpr const char* kTraceSent = "-->  ";
inline constexpr const char* kTraceReceived = "  <--";
inline constexpr const char* kTraceSeparator = "_________________";
inline constexpr const char* kTraceBusy = "              busy";
inline constexpr const char* kTraceNotBusy = "          not busy";

inline constexpr float kMinWavelength = 190.0f;
inline constexpr float kMaxWavelength = 1100.0f;

struct SpectrometerLink {
  FixedText<10> PendingCommand;  // at most 9 characters; empty when none
  std::int32_t PositionAtRequest = 0;
  bool AwaitingReply = false;
  bool SpectrometerBusy = false;
  std::int32_t ExpectedReplyLength = 0;
  bool ReplyContinues = false;
  FixedText<201> ReadingRecord;  // 200 characters
  float Wavelength = 550.0f;
};

// What the handshake needs of the window around it.
class SpectrometerHost {
 public:
  virtual ~SpectrometerHost() = default;
  virtual bool PortOpen() const = 0;
  virtual void Write(std::string_view bytes) = 0;
  virtual bool Offline() const = 0;
  virtual int CuvettePosition() const = 0;
  // The trace memo is shown.
  virtual bool TraceShown() const = 0;
  // Adds a line to the trace memo.
  virtual void TraceLine(std::string_view line) = 0;
  // A measurement record is complete: it joins the data table.
  virtual void RecordComplete(std::string_view record) = 0;
};

class SpectrometerProtocol {
 public:
  explicit SpectrometerProtocol(SpectrometerHost& host) : host_(host) {}

  SpectrometerLink& Link() { return link_; }
  const SpectrometerLink& Link() const { return link_; }

  // Queues `command` and asks for the right to send it. Commands longer than
  // PendingCommand holds are refused (false): a cut command could be another
  // one to the instrument.
  bool SendSpectrometerCommand(std::string_view command);
  // A received chunk (up to its first zero byte).
  void HandleSpectrometerBytes(std::string_view chunk);
  // Forgets the chunk being handled (a new connection).
  void ResetReceiver() { chunk_.clear(); }
  void ShowSpectrometerBusy(bool on);
  void TraceSpectrometer(std::string_view prefix, std::string_view bytes);

  // Applies a wavelength entry: the first character is the mode (" " set,
  // "+" raise, "-" lower, anything else keeps the wavelength), a number
  // follows. Clamps to 190..1100 nm, sends "w" with tenths of a nanometre and
  // returns the wavelength's text ("%.1f") for the box. Nothing changes or is
  // sent when a set, raise or lower entry holds no number.
  std::optional<std::string> SetWavelength(std::string_view entry);

  // Starts the record of a reading: letter "S" or "P", the report's
  // time/temperature text, a tab for each position before the current one.
  // False (nothing asked) while the instrument is busy.
  bool RequestReading(char letter, std::string_view report);

 private:
  void ReadingReply(std::string_view chunk);
  void Write(char byte, bool trace);

  SpectrometerHost& host_;
  SpectrometerLink link_;
  std::string chunk_;
};

// The text of a free command: cut at its first "]", lower case.
std::string FreeSpectrometerCommand(std::string_view text);

}  // namespace vireo
