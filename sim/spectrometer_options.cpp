#include "sim/spectrometer_options.h"

#include <algorithm>
#include <utility>

#include "sim/option_text.h"

namespace vireo::sim {

double SampleRamp::At(double minutes) const {
  const double moved = ratePerMinute * std::max(0.0, minutes);
  return start <= end ? std::min(start + moved, end) : std::max(start - moved, end);
}

bool ParseSpectrometerOptions(std::string_view text, SpectrometerConfig& config, SampleRamp& ramp, std::string* error) {
  SpectrometerConfig c = config;
  SampleRamp r = ramp;
  const auto apply = [&](std::string_view key, std::string_view value, bool bare) {
    if (bare) return false;
    if (key == "tm") return ReadReal(value, -20.0, 150.0, c.meltingTemperature);
    if (key == "dh") return ReadReal(value, 10.0, 5000.0, c.enthalpy);
    if (key == "noise") return ReadReal(value, 0.0, 0.5, c.noise);
    if (key == "seed") return ReadNumber(value, c.seed);
    if (key == "temperature") return ReadReal(value, -50.0, 150.0, r.start);
    if (key == "ramp") return ReadReal(value, 0.0, 100.0, r.ratePerMinute);
    if (key == "end") return ReadReal(value, -50.0, 150.0, r.end);
    return false;
  };
  std::string bad;
  if (!ForEachOption(text, apply, bad)) {
    if (error) *error = "Invalid spectrophotometer option \"" + bad + "\"";
    return false;
  }
  config = std::move(c);
  ramp = r;
  return true;
}

const char* SpectrometerOptionsHelp() {
  return "Simulated spectrophotometer options, comma-separated (e.g. tm=60,temperature=20,ramp=1):\n"
         "  tm=T              melting temperature of the sample in C (default 55)\n"
         "  dh=H              van 't Hoff enthalpy of melting in kJ/mol (default 250)\n"
         "  noise=A           standard deviation of a reading in absorbance (default 0.002)\n"
         "  seed=N            seed of the noise (default 1)\n"
         "  temperature=T     sample temperature in C, fixed or where a ramp starts (default 25)\n"
         "  ramp=R            the sample moves at R C per minute from the start (default 0: fixed)\n"
         "  end=T             ... toward T C, then stays there (default 95)\n";
}

}  // namespace vireo::sim
