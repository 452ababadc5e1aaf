// vireo-controller-sim [OPTIONS]: a simulated temperature controller on a
// pseudo-terminal. Prints the device to open on the first line of its output
// and serves until SIGTERM, SIGINT or SIGHUP.
#include <cstdio>
#include <optional>
#include <string>

#include "sim/controller_options.h"
#include "sim/controller_server.h"
#include "sim/sim_command_line.h"

namespace {

void PrintUsage(std::FILE* to) {
  std::fprintf(to, "Usage: vireo-controller-sim [OPTIONS]\n%s", vireo::sim::ControllerOptionsHelp());
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<std::string> options = vireo::sim::JoinedArguments(argc, argv, PrintUsage);
  if (!options) return 0;
  vireo::sim::ControllerConfig config;
  std::string error;
  if (!vireo::sim::ParseControllerOptions(*options, config, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    PrintUsage(stderr);
    return 2;
  }

  vireo::sim::ControllerServer server(config);
  return vireo::sim::ServeUntilStopped(server);
}
