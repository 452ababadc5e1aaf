#pragma once
// Serves a simulated controller on a pseudo-terminal from a background
// thread: the program opens DevicePath() as its serial port. The model runs
// on real time multiplied by the configured acceleration and is touched only
// by the server thread.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "sim/controller_options.h"
#include "sim/pseudo_terminal.h"

namespace vireo::sim {

class ControllerServer {
 public:
  explicit ControllerServer(const ControllerConfig& config);
  ~ControllerServer();
  ControllerServer(const ControllerServer&) = delete;
  ControllerServer& operator=(const ControllerServer&) = delete;

  // Opens a new pseudo-terminal and starts serving a controller in its
  // power-on state. False when already running or no pseudo-terminal can be
  // had (LastError says why).
  bool Start();
  // Stops serving and closes the pseudo-terminal: a program holding the port
  // open sees the link drop. Does nothing when not running.
  void Stop();
  // Start has succeeded and Stop has not been called since.
  bool Running() const;

  // The slave device, e.g. /dev/pts/3; empty when not running.
  std::string DevicePath() const;
  std::string LastError() const;

 private:
  void Serve(int masterFd, int wakeFd);

  const ControllerConfig config_;
  mutable std::mutex mutex_;  // guards everything below except stop_
  PseudoTerminal pty_;
  std::thread thread_;
  int wakeFd_ = -1;  // eventfd that interrupts the server's poll() on Stop
  std::string lastError_;
  std::atomic<bool> stop_{false};
};

}  // namespace vireo::sim
