#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "status/status_text.h"

namespace vireo {
namespace {

std::string Fixed(float value, int decimals) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
  return buffer;
}

// A table row: a caption and a value cell with an id the tests and scripts can find.
void Row(std::string& out, std::string_view caption, std::string_view id, std::string_view value) {
  out += "<tr><th>" + HtmlEscape(caption) + "</th><td id=\"" + std::string(id) + "\">" + HtmlEscape(value) +
         "</td></tr>\n";
}

// `stale`: the controller is not answering, so these are its last reported values.
void Holder(std::string& out, const HolderStatus& h, bool stale) {
  const std::string id = h.name;
  out += "<section class=\"holder " + h.state + (stale ? " stale" : "") + "\"><h2>" + HtmlEscape(h.name) +
         " holder" + (stale ? " <small id=\"" + id + "-stale\">last reported</small>" : "") + "</h2><table>\n";
  Row(out, "Temperature", id + "-temperature", Fixed(h.temperatureC, 2) + " \xC2\xB0" "C");
  Row(out, "Target", id + "-target", Fixed(h.targetC, 2) + " \xC2\xB0" "C");
  Row(out, "State", id + "-state", h.state);
  Row(out, "Stirrer", id + "-stirrer", h.stirrerOn ? std::to_string(h.stirrerRpm) + " rpm" : "off");
  if (h.heatExchangerC) Row(out, "Heat exchanger", id + "-heat-exchanger", Fixed(*h.heatExchangerC, 1) + " \xC2\xB0" "C");
  out += "</table></section>\n";
}

void Script(std::string& out, const ScriptStatus& s) {
  out += "<section><h2>Script</h2><table>\n";
  if (!s.running) {
    Row(out, "Script", "script-file", "none running");
  } else {
    Row(out, "File", "script-file", s.file);
    Row(out, "Command", "script-command", s.command);
    if (!s.wait.empty()) Row(out, "Wait", "script-wait", s.wait);
    if (!s.loop.empty()) Row(out, "Loop", "script-loop", s.loop);
  }
  out += "</table>";
  if (!s.operatorMessage.empty()) {
    out += "<p class=\"message\" id=\"operator-message\">Waiting for the operator: " + HtmlEscape(s.operatorMessage) +
           "</p>";
  }
  out += "</section>\n";
}

void Spectrometer(std::string& out, const SpectrometerStatus& s, std::string_view query) {
  out += "<section><h2>Spectrometer</h2><table>\n";
  Row(out, "Link", "spectrometer-link", s.linkUp ? "connected" : "not connected");
  Row(out, "Wavelength", "spectrometer-wavelength", Fixed(s.wavelengthNm, 1) + " nm");
  Row(out, "Readings", "spectrometer-records", std::to_string(s.records));
  for (const CellReading& r : s.latest) {
    const std::string cell = std::to_string(r.cell);
    Row(out, "Cell " + cell, "cell-" + cell,
        Fixed(r.absorbance, 4) + " at " + Fixed(r.temperatureC, 2) + " \xC2\xB0" "C, " + Fixed(r.timeMin, 2) + " min");
  }
  out += "</table>";
  if (s.records > 0) {
    out += "<img src=\"/spectrometer.png" + std::string(query) +
           "\" alt=\"spectrometer plot\" width=\"640\" height=\"360\">";
  }
  out += "</section>\n";
}

}  // namespace

std::string HtmlEscape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

const std::string& StatusPageStyle() {
  static const std::string style =
      "body{font-family:sans-serif;margin:0 auto;padding:0.5em;max-width:60em;background:#fafafa;color:#111}"
      "h1{font-size:1.3em;margin:0.2em 0}h2{font-size:1.1em;margin:0.3em 0;text-transform:capitalize}"
      "section{background:#fff;border:1px solid #ccc;border-radius:6px;padding:0.5em;margin:0.5em 0}"
      "table{border-collapse:collapse;width:100%}th{text-align:left;font-weight:normal;color:#555;width:40%}"
      "td,th{padding:0.15em 0.3em}td{font-weight:bold}img{max-width:100%;height:auto;display:block;margin-top:0.4em}"
      ".holding{border-left:6px solid #2a2}.seeking{border-left:6px solid #e90}.fault{border-left:6px solid #d22}"
      ".off{border-left:6px solid #999}.error{background:#ff0;padding:0.4em;border-radius:4px}"
      ".message{background:#0ff;padding:0.4em;border-radius:4px;font-weight:bold}"
      "ol{padding-left:1.2em;font-size:0.9em}small{color:#555}.stale td{color:#888}h2 small{text-transform:none}";
  return style;
}

std::string StatusPage(const StatusSnapshot& s, std::string_view query, int refreshSeconds) {
  std::string out =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
      "<meta http-equiv=\"refresh\" content=\"" +
      std::to_string(refreshSeconds) + "\"><title>" + HtmlEscape(s.title) + "</title><style>" + StatusPageStyle() +
      "</style></head><body>\n<h1 id=\"title\">" + HtmlEscape(s.title) + "</h1>\n<p><small id=\"time\">" +
      HtmlEscape(s.time) + "</small> &middot; controller <span id=\"controller-link\">" +
      (s.controllerLinkUp ? "connected" : "not connected") + "</span></p>\n";
  if (!s.errorStrip.empty()) out += "<p class=\"error\" id=\"error-strip\">" + HtmlEscape(s.errorStrip) + "</p>\n";
  for (const HolderStatus& h : s.holders) Holder(out, h, !s.controllerLinkUp);
  if (s.probeC) {
    out += "<section><h2>Probe</h2><table>\n";
    Row(out, "Temperature", "probe-temperature", Fixed(*s.probeC, 2) + " \xC2\xB0" "C");
    out += "</table></section>\n";
  }
  out += "<section><h2>Plot</h2><img src=\"/plot.png" + std::string(query) +
         "\" alt=\"temperature plot\" width=\"640\" height=\"360\"></section>\n";
  Script(out, s.script);
  out += "<section><h2>Run</h2><table>\n";
  Row(out, "Folder", "run-folder", s.runFolder.empty() ? "none open" : s.runFolder);
  for (std::size_t i = 0; i < kSeriesNames.size(); ++i) {
    if (s.seriesRecords[i] == 0) continue;
    std::string caption = kSeriesNames[i];
    for (char& c : caption) c = c == '_' ? ' ' : c;
    caption.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(caption.front())));  // as the other rows
    Row(out, caption + " records", std::string("records-") + kSeriesNames[i], std::to_string(s.seriesRecords[i]));
  }
  out += "</table><p><a href=\"/runs/" + std::string(query) + "\">All runs and their files</a></p></section>\n";
  Spectrometer(out, s.spectrometer, query);
  out += "<section><h2>Events</h2><ol id=\"events\" reversed>\n";
  for (auto e = s.events.rbegin(); e != s.events.rend(); ++e) {
    out += "<li><small>" + HtmlEscape(e->time) + "</small> " + EventName(e->event) + ": " + HtmlEscape(e->text) +
           "</li>\n";
  }
  out += "</ol></section>\n</body></html>\n";
  return out;
}

std::string RecordsSince(std::string_view text, double since) {
  std::string out;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    const std::string minutes(line.substr(0, tab));
    char* parsed = nullptr;
    const double value = std::strtod(minutes.c_str(), &parsed);
    if (parsed == minutes.c_str() || value < since) continue;
    out.append(line);
    out += "\r\n";
  }
  return out;
}

std::string CommandBefore(std::string_view script, std::size_t cursor) {
  const std::string_view done = script.substr(0, std::min(cursor, script.size()));
  const std::size_t close = done.rfind(']');
  if (close == std::string_view::npos) return std::string();
  const std::size_t open = done.rfind('[', close);
  if (open == std::string_view::npos) return std::string();
  return std::string(done.substr(open, close - open + 1));
}

}  // namespace vireo
