#include "sim/spectrometer_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace vireo::sim {
namespace {

using namespace std::string_literals;

// A noiseless instrument whose sample sits at `temperature`.
class Spectrometer : public ::testing::Test {
 protected:
  SpectrometerModel Make() { return SpectrometerModel(Quiet()); }
  static SpectrometerModel Make(SpectrometerConfig config) { return SpectrometerModel(std::move(config)); }
  SpectrometerConfig Quiet() {
    SpectrometerConfig config;
    config.noise = 0.0;
    config.sampleTemperature = [this] { return temperature; };
    return config;
  }
  // The program's side of a command: ENQ, the instrument's ACK, text and NUL.
  static void Send(SpectrometerModel& m, const std::string& command) {
    ASSERT_EQ(m.Receive("\x05"), "\x06") << command;
    EXPECT_EQ(m.Receive(command + '\0'), "") << command;
  }
  // Runs the clock in 10 ms steps; each non-empty output with its time.
  static std::vector<std::pair<std::uint64_t, std::string>> Run(SpectrometerModel& m, std::uint32_t ms) {
    std::vector<std::pair<std::uint64_t, std::string>> sent;
    for (std::uint32_t t = 0; t < ms; t += 10) {
      std::string out = m.Advance(10);
      if (!out.empty()) sent.emplace_back(m.NowMs(), std::move(out));
    }
    return sent;
  }
  static std::string Reading(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "d%7.4f", value);
    return text;
  }

  float temperature = 25.0f;
};

TEST_F(Spectrometer, ReadingIsAnsweredThenEndedWithEotInItsOwnChunk) {
  SpectrometerModel m = Make();
  Send(m, "d");
  temperature = 55.0f;  // measured when the reading is taken, not when asked
  const auto sent = Run(m, 2000);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], std::make_pair(std::uint64_t{SpectrometerManners{}.cycleMs}, Reading(m.Absorbance(55.0, 550.0))));
  EXPECT_EQ(sent[0].second.substr(0, 4), "d 0.");  // "d %.4f", as "d 0.1234"
  EXPECT_EQ(sent[0].second.size(), 8u);
  EXPECT_EQ(sent[1], std::make_pair(std::uint64_t{SpectrometerManners{}.cycleMs + kEotGapMs}, "\x04"s));
  EXPECT_FALSE(m.Working());
  // Even a clock moved in one jump keeps the reading and its EOT apart.
  Send(m, "d");
  EXPECT_EQ(m.Advance(5000), Reading(m.Absorbance(55.0, 550.0)));
  EXPECT_EQ(m.Advance(5000), "\x04");
}

TEST_F(Spectrometer, CommandsTheirAnswersAndWorkTimes) {
  using Sent = std::vector<std::pair<std::uint64_t, std::string>>;
  const Sent refused = {{0, "\x15"}, {kEotGapMs, "\x04"}};  // NAK at once, EOT later, nothing changed
  const struct {
    std::string command;
    Sent sent;
    float wavelength;
  } cases[] = {{"w2600", {{kWavelengthMs, "\x04"}}, 260.0f}, {"w1900", {{kWavelengthMs, "\x04"}}, 190.0f},
               {"w11000", {{kWavelengthMs, "\x04"}}, 1100.0f}, {"w6543", {{kWavelengthMs, "\x04"}}, 654.3f},
               {"x", {{kZeroMs, "\x04"}}, 550.0f},          {"w1899", refused, 550.0f},
               {"w11001", refused, 550.0f},                  {"w", refused, 550.0f},
               {"w55a0", refused, 550.0f},                   {"w-5500", refused, 550.0f},
               {"D", refused, 550.0f},                       {"hello", refused, 550.0f},
               {"w2600" + std::string(40, '0'), refused, 550.0f}};
  for (const auto& c : cases) {
    SpectrometerModel m = Make();
    ASSERT_EQ(m.Receive("\x05"), "\x06");
    Sent sent;
    if (std::string now = m.Receive(c.command + '\0'); !now.empty()) sent.emplace_back(0, now);
    for (auto& later : Run(m, 3000)) sent.push_back(later);
    EXPECT_EQ(sent, c.sent) << c.command;
    EXPECT_FLOAT_EQ(m.Wavelength(), c.wavelength) << c.command;
  }
}

TEST_F(Spectrometer, HandshakeGuardsTheCommands) {
  SpectrometerModel m = Make();
  EXPECT_EQ(m.Receive("w2600\0"s), "\x15");  // text without ENQ is refused, not executed
  EXPECT_EQ(m.Receive("\x06\x04\r\n"), "");  // the program's ACKs and stray line ends need no answer
  EXPECT_TRUE(Run(m, 2000).empty());
  Send(m, "w2600");
  EXPECT_EQ(m.Receive("\x05"), "");  // asked while working: granted with the EOT
  const auto sent = Run(m, 2000);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], std::make_pair(2000 + std::uint64_t{kWavelengthMs}, "\x04\x06"s));
  EXPECT_EQ(m.Receive("x"s + '\0'), "");
  EXPECT_EQ(Run(m, 2000).size(), 1u);
  EXPECT_DOUBLE_EQ(m.ZeroOffset(), m.Absorbance(25.0, 260.0));
}

TEST_F(Spectrometer, ZeroSubtractsTheAbsorbanceOfThatMoment) {
  SpectrometerModel m = Make();
  Send(m, "x");
  Run(m, 2000);
  const double zero = m.Absorbance(25.0, 550.0);
  EXPECT_DOUBLE_EQ(m.ZeroOffset(), zero);
  for (const float t : {25.0f, 80.0f, 5.0f}) {
    temperature = t;
    Send(m, "d");
    const auto sent = Run(m, 2000);
    ASSERT_EQ(sent.size(), 2u) << t;
    EXPECT_EQ(sent[0].second, Reading(m.Absorbance(t, 550.0) - zero)) << t;
    EXPECT_EQ(sent[0].second.size(), 8u) << sent[0].second;  // "d-0.0020" as long as "d 0.0000"
  }
}

TEST_F(Spectrometer, MeltsInTwoStatesAroundItsMeltingTemperature) {
  for (const double tm : {55.0, 62.0}) {
    SpectrometerConfig config = Quiet();
    config.meltingTemperature = tm;
    const SpectrometerModel m = Make(config);
    // Baselines of the folded and melted forms, extrapolated from well outside the melt.
    const auto line = [&m](double from) {
      return [&m, from](double t) { return m.Absorbance(from, 260) + (m.Absorbance(from + 10, 260) - m.Absorbance(from, 260)) / 10 * (t - from); };
    };
    const auto folded = line(tm - 50), open = line(tm + 45);
    const auto melted = [&](double t) { return (m.Absorbance(t, 260) - folded(t)) / (open(t) - folded(t)); };
    EXPECT_GT(open(tm) - folded(tm), 0.1) << tm;  // visible
    EXPECT_NEAR(melted(tm), 0.5, 1e-3) << tm;
    EXPECT_GT(folded(tm + 1) - folded(tm), 1e-5) << tm;  // sloped baselines
    EXPECT_GT(open(tm + 1) - open(tm), 1e-5) << tm;
    EXPECT_LT(melted(tm - 10), 0.1) << tm;  // as sharp as 250 kJ/mol makes it
    EXPECT_GT(melted(tm + 10), 0.9) << tm;
  }
}

TEST_F(Spectrometer, BandNear260MakesTheWavelengthMatter) {
  const SpectrometerModel m = Make();
  EXPECT_GT(m.Absorbance(25.0, 260.0), 2.0 * m.Absorbance(25.0, 550.0));
  EXPECT_GT(m.Absorbance(25.0, 550.0), 0.0);
  // The melt still shows away from the band.
  EXPECT_GT(m.Absorbance(80.0, 550.0) - m.Absorbance(25.0, 550.0), 0.02);
}

TEST_F(Spectrometer, NoiseIsSeededAndAsLargeAsConfigured) {
  const auto readings = [this](std::uint64_t seed) {
    SpectrometerConfig config = Quiet();
    config.noise = 0.002;
    config.seed = seed;
    SpectrometerModel m = Make(config);
    std::vector<double> values;
    for (int i = 0; i < 200; ++i) {
      Send(m, "d");
      values.push_back(std::stod(Run(m, 1000).at(0).second.substr(1)) - m.Absorbance(25.0, 550.0));
    }
    return values;
  };
  const std::vector<double> first = readings(7);
  EXPECT_EQ(readings(7), first);
  EXPECT_NE(readings(8), first);
  double sum = 0, squares = 0;
  for (const double v : first) sum += v, squares += v * v;
  const double mean = sum / first.size(), sd = std::sqrt(squares / first.size() - mean * mean);
  EXPECT_NEAR(mean, 0.0, 0.0005);
  EXPECT_NEAR(sd, 0.002, 0.0005);
}

// Real manners: the reply in pieces at most 20 ms apart, its EOT where the
// manner puts it, after the configured cycle, at the power-up wavelength.
// The shape of what leaves: R a write of reading text, E an EOT, | between writes.
TEST_F(Spectrometer, MannersShapeTheReplyButNotItsText) {
  const struct {
    const char* options;
    std::vector<std::string> shapes;
  } cases[] = {{"eot=apart", {"R|E"}},
               {"eot=joined", {"RE"}},
               {"eot=before", {"E|R"}},
               {"split,eot=joined", {"R|RE", "R|R|RE"}},
               {"split,eot=apart", {"R|R|E", "R|R|R|E"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    for (std::uint64_t seed = 1; seed <= 20; ++seed) {
      SpectrometerConfig config = Quiet();
      SampleRamp ramp;
      ASSERT_TRUE(ParseSpectrometerOptions(std::string(c.options) + ",cycle=3000,wavelength=480", config, ramp, nullptr));
      config.seed = seed;
      SpectrometerModel m = Make(config);
      Send(m, "d");
      std::string shape, text;
      std::uint64_t first = 0, lastText = 0;
      for (int ms = 0; ms < 4000; ++ms) {
        const std::string out = m.Advance(1);
        if (out.empty()) continue;
        if (!shape.empty()) shape += '|';
        if (first == 0) first = m.NowMs();
        for (const char ch : out) {
          if (ch == '\x04') {
            shape += 'E';
            continue;
          }
          if (shape.empty() || shape.back() != 'R') {
            if (lastText != 0) {
              EXPECT_LE(m.NowMs() - lastText, 20u);
            }
            shape += 'R';
          }
          lastText = m.NowMs();
          text += ch;
        }
      }
      EXPECT_GE(first, 3000u);
      EXPECT_EQ(text, Reading(m.Absorbance(25.0, 480.0)));
      EXPECT_NE(std::find(c.shapes.begin(), c.shapes.end(), shape), c.shapes.end()) << shape;
    }
  }
}

TEST_F(Spectrometer, FaultsLoseTheEotOrDamageTheReplyAndTheLogSaysWhich) {
  const std::string log = ::testing::TempDir() + "spectrometer-readings.txt";
  std::remove(log.c_str());
  SpectrometerConfig config = Quiet();
  SampleRamp ramp;
  ASSERT_TRUE(ParseSpectrometerOptions("faults=1,readings=" + log, config, ramp, nullptr));
  SpectrometerModel m = Make(config);
  int lostEot = 0, damaged = 0;
  for (int i = 0; i < 40; ++i) {
    Send(m, "d");
    std::string out;
    for (auto& piece : Run(m, 1000)) out += piece.second;
    if (out.find('\x04') == std::string::npos) ++lostEot;
    out.erase(std::remove(out.begin(), out.end(), '\x04'), out.end());
    // A stray byte ahead of the "d" leaves the reading whole.
    const std::string reading = Reading(m.Absorbance(25.0, 550.0));
    if (out != reading && out.substr(1) != reading) ++damaged;
  }
  EXPECT_GT(lostEot, 5);
  EXPECT_GT(damaged, 5);
  std::FILE* file = std::fopen(log.c_str(), "r");
  ASSERT_NE(file, nullptr);
  char line[64];
  int lines = 0, marked = 0;
  while (std::fgets(line, sizeof line, file)) {
    ++lines;
    const std::string text = line;
    EXPECT_EQ(text.rfind("550.0\t" + Reading(m.Absorbance(25.0, 550.0)) + "\t", 0), 0u) << text;
    marked += text.find("\t1\n") != std::string::npos;
  }
  std::fclose(file);
  EXPECT_EQ(lines, 40);
  EXPECT_EQ(marked, damaged);
}

TEST(SpectrometerOptions, ReadsEveryKeyAndRefusesBadOnes) {
  SpectrometerConfig c;
  SampleRamp r;
  ASSERT_TRUE(ParseSpectrometerOptions(" tm=60, dh=300,noise=0,seed=4,temperature=20,ramp=2,end=90,,", c, r, nullptr));
  EXPECT_DOUBLE_EQ(c.meltingTemperature, 60.0);
  EXPECT_DOUBLE_EQ(c.enthalpy, 300.0);
  EXPECT_DOUBLE_EQ(c.noise, 0.0);
  EXPECT_EQ(c.seed, 4u);
  EXPECT_DOUBLE_EQ(r.start, 20.0);
  EXPECT_DOUBLE_EQ(r.ratePerMinute, 2.0);
  EXPECT_DOUBLE_EQ(r.end, 90.0);
  ASSERT_TRUE(ParseSpectrometerOptions("split,eot=before,ackdelay=30,cycle=4000,wavelength=480.5,faults=0.1,readings=r.txt",
                                       c, r, nullptr));
  const SpectrometerManners& m = c.manners;
  EXPECT_TRUE(m.split);
  EXPECT_EQ(m.eot, EotPlacement::Before);
  EXPECT_EQ(m.ackDelayMs, 30u);
  EXPECT_EQ(m.cycleMs, 4000u);
  EXPECT_FLOAT_EQ(m.powerUpWavelength, 480.5f);
  EXPECT_DOUBLE_EQ(m.faults, 0.1);
  EXPECT_EQ(m.readingsLog, "r.txt");
  SpectrometerConfig all;
  ASSERT_TRUE(ParseSpectrometerOptions("manners", all, r, nullptr));
  EXPECT_TRUE(all.manners.split && all.manners.eot == EotPlacement::Mixed && all.manners.faults > 0 &&
              all.manners.cycleMs > 3000 && all.manners.powerUpWavelength != 550.0f);
  for (const char* text : {"tm=x", "tm=500", "dh=0", "noise=-1", "noise=nan", "seed=-1", "ramp=-1", "ramp", "bogus=1",
                           "eot=sideways", "cycle=5", "wavelength=100", "faults=2", "readings="}) {
    SpectrometerConfig bad;
    SampleRamp badRamp;
    std::string error;
    EXPECT_FALSE(ParseSpectrometerOptions("tm=70," + std::string(text), bad, badRamp, &error)) << text;
    EXPECT_DOUBLE_EQ(bad.meltingTemperature, 55.0) << text;
    EXPECT_NE(error.find(text), std::string::npos) << error;
  }
}

TEST(SampleRamp, MovesToItsEndAndStays) {
  struct Case {
    SampleRamp ramp;
    double minutes, expected;
  };
  for (const Case& c : std::vector<Case>{{{25, 0, 95}, 100, 25},
                                         {{20, 1, 90}, 30, 50},
                                         {{20, 1, 90}, 500, 90},
                                         {{90, 2, 20}, 10, 70},  // cools toward an end below the start
                                         {{20, 1, 90}, -5, 20}}) {
    EXPECT_DOUBLE_EQ(c.ramp.At(c.minutes), c.expected) << c.minutes;
  }
}

}  // namespace
}  // namespace vireo::sim
