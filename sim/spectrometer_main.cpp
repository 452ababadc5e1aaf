// vireo-spectrometer-sim [OPTIONS]: a simulated UV-Vis spectrophotometer on a
// pseudo-terminal. Prints the device to open on the first line of its output
// and serves until SIGTERM, SIGINT or SIGHUP.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

#include "sim/spectrometer_options.h"
#include "sim/spectrometer_server.h"

namespace {

void PrintUsage(std::FILE* to) {
  std::fprintf(to, "Usage: vireo-spectrometer-sim [OPTIONS]\n%s", vireo::sim::SpectrometerOptionsHelp());
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
  vireo::sim::SpectrometerConfig config;
  vireo::sim::SampleRamp ramp;
  std::string error;
  if (!vireo::sim::ParseSpectrometerOptions(options, config, ramp, &error)) {
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

  // Blocked before the server thread starts, so only sigwait below sees them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  vireo::sim::SpectrometerServer server(config);
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
