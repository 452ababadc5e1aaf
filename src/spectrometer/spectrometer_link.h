#pragma once
// The spectrophotometer's serial handshake: every command goes out as ENQ,
// waits for the instrument's ACK, then follows as its text and a NUL byte; the
// instrument's messages are acknowledged, EOT ends its work, and the reply to a
// reading request completes the measurement record. Bytes come in, bytes to
// write and events go out through the host, so the handshake runs without a
// port or a window.
//
// A real instrument on a USB adapter hands its bytes over in any pieces and at
// its own pace, so nothing here depends on how a reply is split: a reading
// ends at a line end, a control byte or a short silence; commands wait their
// turn instead of replacing one another; a silent instrument is given up on.

#include <cstdint>
#include <deque>
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

// A reading without a line end or control byte after it ends when the line
// has been quiet this long. A USB serial adapter holds bytes back for up to
// its latency timer (16 ms by default) and a loaded computer delivers them
// later still: a tenth of that silence would cut readings in two.
inline constexpr int kReplySilenceMs = 200;
// An instrument that has said nothing for this long while it owes an ACK, an
// EOT or a reading has lost the command: it is asked again or given up on.
// Longer than any command's work (a wavelength change across the range).
inline constexpr int kInstrumentSilenceMs = 10000;
// Commands waiting behind the one in progress.
inline constexpr std::size_t kMaxQueuedCommands = 8;

struct SpectrometerLink {
  FixedText<10> PendingCommand;  // at most 9 characters; waits for the ACK; empty when none
  std::int32_t PositionAtRequest = 0;  // the cuvette position of the outstanding reading
  bool AwaitingReply = false;          // a reading has been asked for and its reply not yet ended
  bool SpectrometerBusy = false;       // a command is being worked on: from its text until EOT
  FixedText<201> ReadingRecord;        // 200 characters
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
  // Something the user should know: a line for the display log.
  virtual void Notice(std::string_view text) = 0;
  // Calls TimerExpired after `milliseconds`, replacing an earlier call;
  // 0 cancels it.
  virtual void StartTimer(int milliseconds) = 0;
};

class SpectrometerProtocol {
 public:
  explicit SpectrometerProtocol(SpectrometerHost& host) : host_(host) {}

  SpectrometerLink& Link() { return link_; }
  const SpectrometerLink& Link() const { return link_; }

  // Queues `command` and asks for the right to send it once the command in
  // progress is done; a waiting command with the same first letter (a newer
  // wavelength) is replaced. False (nothing queued) for a command longer than
  // PendingCommand holds, a cut command being another one to the instrument,
  // or when kMaxQueuedCommands are waiting.
  bool SendSpectrometerCommand(std::string_view command);
  // A received chunk (up to its first zero byte).
  void HandleSpectrometerBytes(std::string_view chunk);
  // Forgets the chunk being handled (a new connection).
  void ResetReceiver();
  void ShowSpectrometerBusy(bool on);
  void TraceSpectrometer(std::string_view prefix, std::string_view bytes);
  // The host's timer: a reading has gone quiet, or the instrument has.
  void TimerExpired();

  // Applies a wavelength entry: the first character is the mode (" " set,
  // "+" raise, "-" lower, anything else keeps the wavelength), a number
  // follows. Clamps to 190..1100 nm, sends "w" with tenths of a nanometre and
  // returns the wavelength's text ("%.1f") for the box. Nothing changes or is
  // sent when a set, raise or lower entry holds no number.
  std::optional<std::string> SetWavelength(std::string_view entry);

  // Starts the record of a reading: letter "S" or "P", the report's
  // time/temperature text, a tab for each position before the current one.
  // False (nothing asked) while a command is in progress or waiting: the
  // report gets no reading, which is counted (UnreadReports) and said once.
  bool RequestReading(char letter, std::string_view report);
  // Reports that got no reading since the last call; the count starts again.
  int TakeUnreadReports();

  // A command is waiting, being worked on or owes its reply.
  bool Exchanging() const;
  // The port has gone: what was under way is lost with it (a reading's reply
  // will never come); settings waiting to be sent stay queued.
  void LinkLost();
  // A new connection: nothing of the earlier one is sent.
  void Forget() {
    LinkLost();
    queued_.clear();
  }
  // The port is open again: the instrument may have been switched off, so its
  // wavelength is set first.
  void LinkBack();

 private:
  void Received(char byte);
  void TextRun(std::string_view run);
  void EndReply();
  void SendNext();
  void Rearm();
  void Write(char byte, bool trace);

  SpectrometerHost& host_;
  SpectrometerLink link_;
  std::string chunk_;
  std::deque<std::string> queued_;  // behind PendingCommand, in order
  bool asked_ = false;              // the pending command's ENQ went out
  bool collecting_ = false;         // a reading's text is arriving
  bool positionMoved_ = false;      // the changer moved before the reading came
  std::string reply_;               // the reading's text after its "d"
  int unreadReports_ = 0;
  bool unreadSaid_ = false;
};

// The text of a free command: cut at its first "]", lower case.
std::string FreeSpectrometerCommand(std::string_view text);

}  // namespace vireo
