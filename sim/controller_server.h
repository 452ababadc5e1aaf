#pragma once
// Serves a simulated controller on a pseudo-terminal from a background
// thread: the program opens DevicePath() as its serial port. The model runs
// on real time multiplied by the configured acceleration and is touched only
// by the server thread.

#include <atomic>
#include <string>

#include "sim/controller_options.h"
#include "sim/pty_server.h"

namespace vireo::sim {

class ControllerServer {
 public:
  explicit ControllerServer(const ControllerConfig& config);
  ControllerServer(const ControllerServer&) = delete;
  ControllerServer& operator=(const ControllerServer&) = delete;

  // Opens a new pseudo-terminal and starts serving a controller in its
  // power-on state. False when already running or no pseudo-terminal can be
  // had (LastError says why).
  bool Start();
  // Stops serving and closes the pseudo-terminal: a program holding the port
  // open sees the link drop. Does nothing when not running.
  void Stop() { server_.Stop(); }
  // Start has succeeded and Stop has not been called since.
  bool Running() const { return server_.Running(); }

  // The slave device, e.g. /dev/pts/3; empty when not running.
  std::string DevicePath() const { return server_.DevicePath(); }
  std::string LastError() const { return server_.LastError(); }

  // The sample holder's temperature as the controller measures it, degrees C,
  // from any thread: what a simulated spectrophotometer beside it reads.
  float SampleTemperature() const { return sampleTemperature_.load(); }

 private:
  const ControllerConfig config_;
  std::atomic<float> sampleTemperature_;
  PtyServer server_;  // last: its thread stops before the members above go
};

}  // namespace vireo::sim
