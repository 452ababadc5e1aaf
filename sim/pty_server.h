#pragma once
// The serving loop shared by the simulated instruments: a pseudo-terminal, a
// background thread that polls it, hands what the program wrote to the
// instrument and moves the instrument's clock on with real time, and writes
// back what the instrument sends. The instrument is touched only by that thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "sim/pseudo_terminal.h"

namespace vireo::sim {

// One instrument as the loop drives it; both return the bytes to send.
struct SimulatedInstrument {
  std::function<std::string(std::string_view bytes)> receive;
  std::function<std::string(std::uint32_t milliseconds)> advance;
};

class PtyServer {
 public:
  // `what` names the instrument in error messages ("controller").
  // `acceleration`: simulated milliseconds per real millisecond.
  PtyServer(std::string what, double acceleration);
  ~PtyServer();
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;

  // Opens a new pseudo-terminal and serves `instrument` on it. False when
  // already running or no pseudo-terminal can be had (LastError says why).
  bool Start(SimulatedInstrument instrument);
  // Stops serving and closes the pseudo-terminal: a program holding the port
  // open sees the link drop. Does nothing when not running.
  void Stop();
  bool Running() const;
  // The slave device, e.g. /dev/pts/3; empty when not running.
  std::string DevicePath() const;
  std::string LastError() const;

 private:
  void Serve(SimulatedInstrument instrument, int masterFd, int wakeFd);

  const std::string what_;
  const double acceleration_;
  mutable std::mutex mutex_;  // guards everything below except stop_
  PseudoTerminal pty_;
  std::thread thread_;
  int wakeFd_ = -1;  // eventfd that interrupts the server's poll() on Stop
  std::string lastError_;
  std::atomic<bool> stop_{false};
};

}  // namespace vireo::sim
