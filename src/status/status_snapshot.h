#pragma once
// What the window shows at a glance, copied out for the status server: the
// server reads nothing else of the program's state. Texts are UTF-8.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "status/program_events.h"

namespace vireo {

struct HolderStatus {
  std::string name;  // "sample" or "reference"
  float temperatureC = 0;
  float targetC = 0;
  std::string state;  // "off", "seeking", "holding", "fault"
  bool controlOn = false;
  bool stirrerOn = false;
  int stirrerRpm = 0;
  std::optional<float> heatExchangerC;  // models that report it
};

struct ScriptStatus {
  bool running = false;
  std::string file;
  std::string command;          // the command the script is on
  std::string wait;             // the wait panel's caption and display; empty when none
  std::string loop;             // "loop 2: 3 of 5"; empty outside loops
  std::string operatorMessage;  // the message waiting for the operator; empty when none
};

struct CellReading {
  int cell = 0;  // 1 to 6
  float absorbance = 0;
  float temperatureC = 0;
  float timeMin = 0;
};

struct SpectrometerStatus {
  bool linkUp = false;
  float wavelengthNm = 0;
  long records = 0;
  std::vector<CellReading> latest;  // per cell that has readings, by cell
};

// The names of the five series, by series number - 1.
inline constexpr std::array<const char*, 5> kSeriesNames{"sample", "reference", "probe", "sample_heat_exchanger",
                                                         "reference_heat_exchanger"};

struct StatusSnapshot {
  std::string time;  // ISO 8601 local time of the snapshot
  std::string title;  // the main window's caption
  bool controllerLinkUp = false;
  std::string port;
  std::vector<HolderStatus> holders;  // the sample holder, then the reference holder when shown
  std::optional<float> probeC;        // when a probe is plugged in
  std::string errorStrip;             // the error strip's text; empty when hidden
  ScriptStatus script;
  std::string runFolder;  // the journal's open run; empty when none
  std::array<long, 5> seriesRecords{};
  long journalErrors = 0;
  SpectrometerStatus spectrometer;
  std::vector<EventRecord> events;  // newest last
};

}  // namespace vireo
