#pragma once
// Keeps watch over the controller link once a controller has answered, so
// that an unattended night survives a link that drops and comes back: a port
// that fails is opened again by itself, a controller that stops answering
// while its port stays open is noticed, and a controller that answers again
// has its settings read again before anything else is sent to it.
//
// Plain logic on the millisecond tick count; the main window carries out the
// actions and raises the link-lost and link-back events.

#include <cstdint>
#include <string>
#include <vector>

namespace vireo {

// Between two attempts to open a failed port, and between two probes of a
// port that is open but silent.
inline constexpr std::uint32_t kLinkRetryMs = 3000;
// Attempts on the lost port before the other listed ports are tried in turn
// (a USB adapter that comes back may get another name).
inline constexpr int kSamePortAttempts = 3;
// Probes of another port before it is given up when no controller of the
// same model identifies itself there.
inline constexpr int kOtherPortProbes = 2;

// How long the link may be silent before it counts as lost: three report
// intervals and 5 seconds (14 s at the usual 3 s), so that a late report on a
// busy Bluetooth link is no alarm. 0 when the reports are switched off
// (interval 0): then silence says nothing.
std::uint32_t SilenceLimitMs(std::int32_t reportIntervalSeconds);

enum class LinkCondition {
  Idle,     // no controller connected: nothing is watched
  Up,       // replies arrive
  Silent,   // the port is open but nothing has come for too long
  Closed,   // the port failed; it is opened again every few seconds
  Reading,  // the controller answers again; its settings are being read again
};

enum class LinkAction {
  None,
  Lost,    // the controller stopped answering: raise the link-lost event
  Reopen,  // close the channel if open and open NextPort()
  Probe,   // send ProbeCommand()
};

class LinkWatch {
 public:
  // First contact on `port`.
  void Connected(std::uint32_t now, std::string port);
  // Restart or offline work: nothing is watched any more.
  void Stop() { condition_ = LinkCondition::Idle; }

  // Any reply the window takes. True when the controller has come back: its
  // settings are to be read again (the condition is then Reading).
  bool ReplyArrived(std::uint32_t now);
  // The open port failed. True when the link had been up: raise link-lost.
  bool ChannelFailed(std::uint32_t now);
  // NextPort() has been opened.
  void Reopened(std::uint32_t now, const std::string& port);
  // The settings have been read again. True when the link is back (raise
  // link-back); false when it was lost again meanwhile.
  bool ReadingDone(std::uint32_t now);

  // One LED tick.
  LinkAction Tick(std::uint32_t now, std::int32_t reportIntervalSeconds);

  LinkCondition Condition() const { return condition_; }
  // The link is not up: the notice is shown and a script holds.
  bool Lost() const { return condition_ != LinkCondition::Idle && condition_ != LinkCondition::Up; }
  // The port open now is not the lost one and has not shown the same model:
  // its replies are taken only once it identifies itself.
  bool Verifying() const { return verifying_; }
  // The port of the link: the one connected last, or another one once the
  // same model has answered there.
  const std::string& Port() const { return port_; }

  // The port the next reopen attempt takes: the lost one for
  // kSamePortAttempts attempts, then each other of `listed` in turn, then the
  // lost one again. Counts the attempt.
  std::string NextPort(const std::vector<std::string>& listed);
  // "[F1 IS ?]" on the lost port; on another port "[F1 ID ?]", whose answer
  // tells the model.
  const char* ProbeCommand() const { return verifying_ ? "[F1 ID ?]" : "[F1 IS ?]"; }

 private:
  LinkCondition condition_ = LinkCondition::Idle;
  std::string port_;
  std::string open_;  // the port open now, reopened by the watch
  std::uint32_t lastReply_ = 0;
  std::uint32_t lastTry_ = 0;  // the last reopen attempt or probe
  int attempt_ = 0;            // reopen attempts since the link was lost
  int probes_ = 0;             // probes on the port open now
  bool verifying_ = false;
};

}  // namespace vireo
