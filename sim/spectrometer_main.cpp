// vireo-spectrometer-sim [OPTIONS]: a simulated UV-Vis spectrophotometer on a
// pseudo-terminal. Prints the device to open on the first line of its output
// and serves until SIGTERM, SIGINT or SIGHUP.
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

#include "sim/sim_command_line.h"
#include "sim/spectrometer_options.h"
#include "sim/spectrometer_server.h"

namespace {

void PrintUsage(std::FILE* to) {
  std::fprintf(to, "Usage: vireo-spectrometer-sim [OPTIONS]\n%s", vireo::sim::SpectrometerOptionsHelp());
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<std::string> options = vireo::sim::JoinedArguments(argc, argv, PrintUsage);
  if (!options) return 0;
  vireo::sim::SpectrometerConfig config;
  vireo::sim::SampleRamp ramp;
  std::string error;
  if (!vireo::sim::ParseSpectrometerOptions(*options, config, ramp, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    PrintUsage(stderr);
    return 2;
  }
  // Alone, the sample's temperature is the ramp's, from now on.
  const auto start = std::chrono::steady_clock::now();
  config.sampleTemperature = [ramp, start] {
    const std::chrono::duration<double, std::ratio<60>> elapsed = std::chrono::steady_clock::now() - start;
    return static_cast<float>(ramp.At(elapsed.count()));
  };

  vireo::sim::SpectrometerServer server(config);
  return vireo::sim::ServeUntilStopped(server);
}
