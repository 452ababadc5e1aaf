#include "sim/sim_command_line.h"

#include <signal.h>

#include <string_view>

#include "vireo_version.h"

namespace vireo::sim {
namespace {

sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGHUP);
  return signals;
}

}  // namespace

std::optional<std::string> JoinedArguments(int argc, char** argv, void (*printUsage)(std::FILE*)) {
  std::string options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      printUsage(stdout);
      return std::nullopt;
    }
    if (arg == "--version") {
      const std::string_view program = argv[0];
      std::printf("%s %s\n", std::string(program.substr(program.find_last_of('/') + 1)).c_str(), kVersion);
      return std::nullopt;
    }
    if (!options.empty()) options += ',';
    options += arg;
  }
  return options;
}

void BlockStopSignals() {
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void WaitForStopSignal() {
  const sigset_t signals = StopSignals();
  int signal = 0;
  sigwait(&signals, &signal);
}

}  // namespace vireo::sim
