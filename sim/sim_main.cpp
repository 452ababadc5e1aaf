// vireo-controller-sim [OPTIONS]: a simulated temperature controller on a
// pseudo-terminal. Prints the device to open on the first line of its output
// and serves until SIGTERM, SIGINT or SIGHUP.
#include <signal.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "sim/controller_options.h"
#include "sim/controller_server.h"

namespace {

void PrintUsage(std::FILE* to) {
  std::fprintf(to, "Usage: vireo-controller-sim [OPTIONS]\n%s", vireo::sim::ControllerOptionsHelp());
}

}  // namespace

int main(int argc, char** argv) {
  std::string options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      PrintUsage(stdout);
      return 0;
    }
    if (!options.empty()) options += ',';
    options += arg;
  }
  vireo::sim::ControllerConfig config;
  std::string error;
  if (!vireo::sim::ParseControllerOptions(options, config, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    PrintUsage(stderr);
    return 2;
  }

  // Blocked before the server thread starts, so only sigwait below sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  vireo::sim::ControllerServer server(config);
  if (!server.Start()) {
    std::fprintf(stderr, "%s\n", server.LastError().c_str());
    return 1;
  }
  std::printf("%s\n", server.DevicePath().c_str());
  std::fflush(stdout);

  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.Stop();
  return 0;
}
