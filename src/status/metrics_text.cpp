#include <cstdio>
#include <string>

#include "status/status_text.h"

namespace vireo {
namespace {

std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", value);
  return buffer;
}

std::string LabelValue(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out;
}

class Family {
 public:
  Family(std::string& out, const char* name, const char* type, const char* help) : out_(out), name_(name) {
    out_ += std::string("# HELP ") + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n';
  }
  void Sample(double value) { out_ += name_ + ' ' + Number(value) + '\n'; }
  void Sample(const char* label, std::string_view labelValue, double value) {
    out_ += name_ + '{' + label + "=\"" + LabelValue(labelValue) + "\"} " + Number(value) + '\n';
  }

 private:
  std::string& out_;
  std::string name_;
};

constexpr const char* kStates[] = {"off", "seeking", "holding", "fault"};

}  // namespace

std::string MetricsText(const StatusSnapshot& s) {
  std::string out;
  Family(out, "vireo_controller_link_up", "gauge", "1 while the controller link is open.")
      .Sample(s.controllerLinkUp ? 1 : 0);
  Family temperature(out, "vireo_holder_temperature_celsius", "gauge", "Holder temperature.");
  for (const HolderStatus& h : s.holders) temperature.Sample("holder", h.name, h.temperatureC);
  Family target(out, "vireo_holder_target_celsius", "gauge", "Holder target temperature.");
  for (const HolderStatus& h : s.holders) target.Sample("holder", h.name, h.targetC);
  // One series per state, 1 for the holder's state: the usual form of an enumeration.
  Family(out, "vireo_holder_state", "gauge", "1 for the holder's control state (off, seeking, holding, fault).");
  for (const HolderStatus& h : s.holders) {
    for (const char* name : kStates) {
      out += "vireo_holder_state{holder=\"" + LabelValue(h.name) + "\",state=\"" + name + "\"} " +
             (h.state == name ? "1" : "0") + '\n';
    }
  }
  Family stirrer(out, "vireo_holder_stirrer_on", "gauge", "1 while the holder's stirrer runs.");
  for (const HolderStatus& h : s.holders) stirrer.Sample("holder", h.name, h.stirrerOn ? 1 : 0);
  Family speed(out, "vireo_holder_stirrer_speed_rpm", "gauge", "Stirrer speed setting.");
  for (const HolderStatus& h : s.holders) speed.Sample("holder", h.name, h.stirrerRpm);
  Family exchanger(out, "vireo_heat_exchanger_temperature_celsius", "gauge", "Heat exchanger temperature.");
  for (const HolderStatus& h : s.holders) {
    if (h.heatExchangerC) exchanger.Sample("holder", h.name, *h.heatExchangerC);
  }
  Family probe(out, "vireo_probe_temperature_celsius", "gauge", "External probe temperature, while plugged in.");
  if (s.probeC) probe.Sample(*s.probeC);
  Family(out, "vireo_script_running", "gauge", "1 while a script runs.").Sample(s.script.running ? 1 : 0);
  Family(out, "vireo_operator_message_waiting", "gauge", "1 while a script message waits for the operator.")
      .Sample(s.script.operatorMessage.empty() ? 0 : 1);
  Family records(out, "vireo_series_records", "gauge", "Records in each series since the last Clear All.");
  for (std::size_t i = 0; i < kSeriesNames.size(); ++i) records.Sample("series", kSeriesNames[i], s.seriesRecords[i]);
  Family(out, "vireo_journal_errors_total", "counter", "Times the recording journal could not write.")
      .Sample(s.journalErrors);
  Family(out, "vireo_spectrometer_link_up", "gauge", "1 while the spectrometer link is open.")
      .Sample(s.spectrometer.linkUp ? 1 : 0);
  Family(out, "vireo_spectrometer_wavelength_nanometers", "gauge", "Spectrometer wavelength.")
      .Sample(s.spectrometer.wavelengthNm);
  Family absorbance(out, "vireo_absorbance", "gauge", "Latest absorbance reading of each cell.");
  for (const CellReading& r : s.spectrometer.latest) absorbance.Sample("cell", std::to_string(r.cell), r.absorbance);
  return out;
}

}  // namespace vireo
