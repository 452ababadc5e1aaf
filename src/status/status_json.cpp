#include "status/status_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vireo {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Single-precision values as the window shows them, not with float noise.
double Rounded(float value, int decimals) { return QString::number(value, 'f', decimals).toDouble(); }

QJsonObject Holder(const HolderStatus& h) {
  QJsonObject o{{"name", Text(h.name)},
                {"temperature_c", Rounded(h.temperatureC, 2)},
                {"target_c", Rounded(h.targetC, 2)},
                {"state", Text(h.state)},
                {"control_on", h.controlOn},
                {"stirrer_on", h.stirrerOn},
                {"stirrer_rpm", h.stirrerRpm}};
  o.insert(QStringLiteral("heat_exchanger_c"), h.heatExchangerC ? QJsonValue(Rounded(*h.heatExchangerC, 2)) : QJsonValue());
  return o;
}

}  // namespace

QByteArray StatusJson(const StatusSnapshot& s) {
  QJsonArray holders;
  for (const HolderStatus& h : s.holders) holders.append(Holder(h));
  QJsonObject records;
  for (std::size_t i = 0; i < kSeriesNames.size(); ++i) {
    records.insert(QLatin1String(kSeriesNames[i]), static_cast<qint64>(s.seriesRecords[i]));
  }
  QJsonArray cells;
  for (const CellReading& r : s.spectrometer.latest) {
    cells.append(QJsonObject{{"cell", r.cell},
                             {"absorbance", Rounded(r.absorbance, 4)},
                             {"temperature_c", Rounded(r.temperatureC, 2)},
                             {"time_min", Rounded(r.timeMin, 2)}});
  }
  QJsonArray events;
  for (const EventRecord& e : s.events) {
    events.append(QJsonObject{{"time", Text(e.time)}, {"event", EventName(e.event)}, {"text", Text(e.text)}});
  }
  const ScriptStatus& sc = s.script;
  const QJsonObject root{
      {"time", Text(s.time)},
      {"title", Text(s.title)},
      {"controller_link_up", s.controllerLinkUp},
      {"port", Text(s.port)},
      {"holders", holders},
      {"probe_c", s.probeC ? QJsonValue(Rounded(*s.probeC, 2)) : QJsonValue()},
      {"error_strip", Text(s.errorStrip)},
      {"script", QJsonObject{{"running", sc.running},
                             {"file", Text(sc.file)},
                             {"command", Text(sc.command)},
                             {"wait", Text(sc.wait)},
                             {"loop", Text(sc.loop)},
                             {"operator_message", Text(sc.operatorMessage)}}},
      {"run", QJsonObject{{"folder", Text(s.runFolder)}, {"records", records}}},
      {"journal_errors", static_cast<qint64>(s.journalErrors)},
      {"spectrometer", QJsonObject{{"link_up", s.spectrometer.linkUp},
                                   {"wavelength_nm", Rounded(s.spectrometer.wavelengthNm, 1)},
                                   {"records", static_cast<qint64>(s.spectrometer.records)},
                                   {"latest", cells}}},
      {"events", events},
  };
  return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

}  // namespace vireo
