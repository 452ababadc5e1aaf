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
  SpectrometerManners& m = c.manners;
  const auto apply = [&](std::string_view key, std::string_view value, bool bare) {
    if (bare && key == "manners") {
      // Everything at once, as the worst instrument would.
      m.split = true;
      m.eot = EotPlacement::Mixed;
      m.ackDelayMs = 0;
      m.cycleMs = 4000;
      m.powerUpWavelength = 500.0f;
      m.faults = 0.05;
      return true;
    }
    if (bare && key == "split") return m.split = true;
    if (bare) return false;
    if (key == "eot") {
      const std::pair<std::string_view, EotPlacement> names[] = {
          {"apart", EotPlacement::Apart}, {"joined", EotPlacement::Joined},
          {"before", EotPlacement::Before}, {"mixed", EotPlacement::Mixed}};
      for (const auto& [name, placement] : names) {
        if (value == name) {
          m.eot = placement;
          return true;
        }
      }
      return false;
    }
    if (key == "ackdelay") return ReadNumber(value, m.ackDelayMs) && m.ackDelayMs <= 5000;
    if (key == "cycle") return ReadNumber(value, m.cycleMs) && m.cycleMs >= 10 && m.cycleMs <= 60000;
    if (key == "wavelength") {
      double nm = 0.0;
      if (!ReadReal(value, 190.0, 1100.0, nm)) return false;
      m.powerUpWavelength = static_cast<float>(nm);
      return true;
    }
    if (key == "faults") return ReadReal(value, 0.0, 1.0, m.faults);
    if (key == "readings") {
      m.readingsLog = std::string(value);
      return !value.empty();
    }
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
         "  end=T             ... toward T C, then stays there (default 95)\n"
         "How a real instrument behaves (all off by default):\n"
         "  split             each reply in 2 or 3 writes, 1 to 20 ms apart (seeded)\n"
         "  eot=WHERE         the EOT that ends a reading: apart (default, 150 ms after it), joined (in its\n"
         "                    last write), before (ahead of it) or mixed (any of these at random)\n"
         "  ackdelay=MS       ENQ answered after MS ms (default 0: at once, in the same write)\n"
         "  cycle=MS          a reading takes MS ms (default 500; 4000 is slower than the reports)\n"
         "  wavelength=NM     power-up wavelength (default 550; readings depend on it)\n"
         "  faults=P          share of replies with a lost EOT or a garbage byte (default 0)\n"
         "  manners           all of these: split,eot=mixed,ackdelay=0,cycle=4000,wavelength=500,faults=0.05\n"
         "  readings=FILE     append a line per reading sent: wavelength, reply, 1 when damaged\n";
}

}  // namespace vireo::sim
