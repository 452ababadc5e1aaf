#pragma once
// Serves a simulated spectrophotometer on a pseudo-terminal from a background
// thread: the program opens DevicePath() as the spectrometer's serial port.
// The model runs on real time and is touched only by the server thread, which
// also asks the configured sample temperature.

#include <string>

#include "sim/pty_server.h"
#include "sim/spectrometer_options.h"

namespace vireo::sim {

class SpectrometerServer {
 public:
  explicit SpectrometerServer(SpectrometerConfig config);
  SpectrometerServer(const SpectrometerServer&) = delete;
  SpectrometerServer& operator=(const SpectrometerServer&) = delete;

  // Opens a new pseudo-terminal and starts serving an instrument in its
  // power-on state (550.0 nm, no zero). False when already running or no
  // pseudo-terminal can be had (LastError says why).
  bool Start();
  // Stops serving and closes the pseudo-terminal. Does nothing when not running.
  void Stop() { server_.Stop(); }
  bool Running() const { return server_.Running(); }

  // The slave device, e.g. /dev/pts/4; empty when not running.
  std::string DevicePath() const { return server_.DevicePath(); }
  std::string LastError() const { return server_.LastError(); }

 private:
  const SpectrometerConfig config_;
  PtyServer server_;
};

}  // namespace vireo::sim
