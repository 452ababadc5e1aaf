#pragma once
// What the stand-alone simulators share: their command line, and serving on
// a pseudo-terminal until told to stop.

#include <cstdio>
#include <optional>
#include <string>

namespace vireo::sim {

// The arguments joined by commas (each may itself be a comma-separated option
// list). None when --help or -h asked for the usage, which `printUsage` has
// then printed on stdout, or --version for the version, printed likewise.
std::optional<std::string> JoinedArguments(int argc, char** argv, void (*printUsage)(std::FILE*));

// SIGTERM, SIGINT and SIGHUP, blocked before the server's thread starts, so
// that only WaitForStopSignal sees them.
void BlockStopSignals();
void WaitForStopSignal();

// Starts `server`, prints the device to open on the first line of the output
// and serves until a stop signal. The exit code: 1 when it cannot start.
template <typename Server>
int ServeUntilStopped(Server& server) {
  BlockStopSignals();
  if (!server.Start()) {
    std::fprintf(stderr, "%s\n", server.LastError().c_str());
    return 1;
  }
  std::printf("%s\n", server.DevicePath().c_str());
  std::fflush(stdout);
  WaitForStopSignal();
  server.Stop();
  return 0;
}

}  // namespace vireo::sim
