#include "shell/window_status.h"

#include <QDateTime>
#include <QLabel>
#include <cstdlib>

#include "controller/serial_channel.h"
#include "recording/file_journal.h"
#include "recording/series_memo.h"
#include "shell/form_a.h"
#include "shell/widgets.h"
#include "spectrometer/form_s.h"
#include "status/status_text.h"

namespace vireo {
namespace {

const char* StateName(std::int32_t state) {
  switch (state) {
    case kControlSeeking: return "seeking";
    case kControlHolding: return "holding";
    case kControlFault: return "fault";
    default: return "off";
  }
}

// The program's single-byte texts (with "°") as UTF-8.
std::string Utf8(std::string_view latin1) {
  return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())).toStdString();
}

HolderStatus Holder(const ControllerState& c, bool reference) {
  HolderStatus h;
  h.name = reference ? "reference" : "sample";
  h.temperatureC = reference ? c.ReferenceTemperature : c.SampleTemperature;
  h.targetC = std::strtof((reference ? c.ReferenceTargetText : c.SampleTargetText).Str().c_str(), nullptr);
  h.controlOn = reference ? c.ReferenceTcOn : c.SampleTcOn;
  // A one-holder controller's reference counts as holding; it is not shown then.
  h.state = StateName(reference ? c.ReferenceControlState : c.SampleControlState);
  h.stirrerOn = reference ? c.ReferenceStirrerOn : c.SampleStirrerOn;
  h.stirrerRpm = std::atoi((reference ? c.ReferenceStirrerText : c.SampleStirrerText).Str().c_str());
  if (c.Extended()) h.heatExchangerC = reference ? c.ReferenceHeTemperature : c.SampleHeTemperature;
  return h;
}

ScriptStatus Script(FormA& form) {
  ScriptStatus s;
  const ScriptEngine& engine = form.Engine;
  s.running = form.RunState == kRunScript;
  if (!s.running) return s;
  s.file = engine.ScriptFileName;
  s.command = Utf8(CommandBefore(engine.ScriptText, engine.ScriptCursor));
  if (!form.Delay_Panel->isHidden()) {
    s.wait = (form.Delay_Label->text() + QLatin1Char(' ') + form.Delay_Display->text()).trimmed().toStdString();
  }
  if (engine.LoopLevel >= 0 && engine.LoopLevel < kLoopLevels) {
    const auto level = static_cast<std::size_t>(engine.LoopLevel);
    s.loop = "loop " + std::to_string(engine.LoopLevel + 1) + ": " + std::to_string(engine.LoopIteration[level]) +
             " of " + std::to_string(engine.LoopCount[level]);
  }
  s.operatorMessage = Utf8(engine.OperatorMessage);
  return s;
}

SpectrometerStatus Spectrometer(TFormS& formS) {
  SpectrometerStatus s;
  s.linkUp = formS.SpectrometerPortOpen();
  s.wavelengthNm = formS.Protocol.Link().Wavelength;
  s.records = static_cast<long>(formS.Table.RecordCount());
  for (int cell = 1; cell <= kCellCount; ++cell) {
    const SeriesPoints& byTime = formS.Table.Points(cell, PlotQuantity::Time);
    const SeriesPoints& byTemperature = formS.Table.Points(cell, PlotQuantity::Temperature);
    if (byTime.Count() == 0 || byTemperature.Count() != byTime.Count()) continue;
    s.latest.push_back({cell, byTime.Y().back(), byTemperature.X().back(), byTime.X().back()});
  }
  return s;
}

}  // namespace

StatusSnapshot WindowStatus::Snapshot() {
  StatusSnapshot s;
  const ControllerState& c = form_.Controller;
  // With its offset, which ISO text of a local time leaves out; the clock is read once.
  const QDateTime now = QDateTime::currentDateTime();
  s.time = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate).toStdString();
  s.title = form_.windowTitle().toStdString();
  // An open port is not enough: a silent controller or one being read again is down.
  s.controllerLinkUp = c.ControllerFound && form_.Services().controllerChannel.Active() && !form_.LinkIsLost();
  s.port = form_.Search.PortName;
  if (c.ControllerFound || form_.Recording.OfflineMode) {
    s.holders.push_back(Holder(c, false));
    if (c.TwoHolder()) s.holders.push_back(Holder(c, true));
    if (c.ProbePresent) s.probeC = c.ProbeTemperature;
  }
  if (!form_.Panel_ErrorNotice->isHidden()) s.errorStrip = form_.L_ErrorNotice->text().toStdString();
  s.script = Script(form_);
  if (journal_) s.runFolder = journal_->RunFolder();
  for (std::size_t i = 0; i < s.seriesRecords.size(); ++i) s.seriesRecords[i] = form_.SeriesMemos[i]->LineCount();
  s.spectrometer = Spectrometer(formS_);
  return s;
}

QImage WindowStatus::MainPlot() { return form_.Image->Picture(); }

QImage WindowStatus::SpectrometerPlot() { return formS_.SImage->Picture(); }

std::string WindowStatus::SeriesText(int series) {
  if (series < 1 || series > 5) return std::string();
  return form_.SeriesMemos[static_cast<std::size_t>(series - 1)]->Text();
}

std::string WindowStatus::SpectrometerText() { return formS_.Table.Text(); }

std::string WindowStatus::DataFolder() { return journal_ ? journal_->DataFolder() : std::string(); }

}  // namespace vireo
