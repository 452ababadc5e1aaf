// The spectrometer window's handlers: the link, the readings, the table and the plot.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "control/wide_text.h"
#include "controller/serial_channel.h"
#include "recording/journal.h"
#include "recording/limit_box.h"
#include "recording/qpainter_canvas.h"
#include "shell/clipboard.h"
#include "shell/services.h"
#include "shell/widgets.h"
#include "spectrometer/form_s.h"

namespace vireo {
namespace {

constexpr std::size_t kChunkSize = 100;
constexpr std::size_t kEntryLength = 9;  // the wavelength box is read up to here
// Bytes already written reach the instrument before a refresh reopens the port.
constexpr int kReopenFlushMs = 100;

std::string BoxText(const QWidget* box) {
  if (auto* edit = qobject_cast<const QLineEdit*>(box)) return Narrowed(edit->text());
  return {};
}

// The table as the memo shows it: one paragraph per line.
QString Displayed(std::string_view text) {
  QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  if (shown.endsWith(QLatin1Char('\n'))) shown.chop(1);
  return shown;
}

}  // namespace

// ---- Link --------------------------------------------------------------------

bool TFormS::SpectrometerPortOpen() const { return services_.spectrometerChannel.Active(); }

void TFormS::ListSpectrometerPorts() {
  Combo_COM->clear();
  for (const std::string& port : services_.ports.ListPorts()) Combo_COM->addItem(QString::fromStdString(port));
  for (const std::string& port : context_.extraPorts) Combo_COM->addItem(QString::fromStdString(port));
  Combo_COM->setCurrentIndex(Combo_COM->count() - 1);
  Table.Clear();
  Memo_Received->clear();
}

bool TFormS::OpenPort(const std::string& port) {
  SerialChannel& channel = services_.spectrometerChannel;
  channel.Close();
  channel.SetPort(port);
  channel.SetSettings(SerialSettings{kSpectrometerBaud, false, true});
  channel.Open();
  if (!channel.Active()) return false;
  channel.PurgeRead();
  channel.PurgeWrite();
  setWindowTitle(QString::fromLatin1(kSpectrometerName) + QStringLiteral("  on ") + QString::fromStdString(port));
  HandleSpectrometerBytes(std::nullopt);
  return true;
}

void TFormS::Btn_COMClick(QObject* sender) {
  SerialChannel& channel = services_.spectrometerChannel;
  const bool offline = Offline();
  const std::string port = Combo_COM->currentText().toStdString();
  if (!offline && sender && linkLost_) {
    // Connecting again after a loss goes on with the same table.
    linkPort_ = port;
    Reconnect(port);
    return;
  }
  if (!offline) {
    const bool wasOpen = channel.Active();
    // Reopened now, the port would throw away the answer under way.
    if (wasOpen && !sender && Protocol.Exchanging()) return;
    if (wasOpen) channel.Flush(kReopenFlushMs);
    if (!OpenPort(port)) {
      // A port that does not open again (unplugged) must not look connected
      // while every later reading goes nowhere.
      if (wasOpen) ShowLinkLost("it did not open again");
      return;
    }
  }
  State.VerticalAxisLabel = "absorbance";
  if (offline) {
    setWindowTitle(QString::fromLatin1(Format("%s %s", kSpectrometerName, "(Simulation Mode)").c_str()));
    HandleSpectrometerBytes(std::nullopt);
  }
  ShowConnected();
  if (!Protocol.Exchanging()) ShowSpectrometerBusy(false);
  Btn_Clear->setText(QStringLiteral("Clear"));
  if (!sender) return;
  Protocol.Forget();
  // Clear refreshes the link (a reopen): the wavelength goes out after it,
  // so that nothing purges the instrument's ACK.
  Btn_ClearClick(nullptr);
  SetWavelength(BoxText(Edit_WLnm).substr(0, kEntryLength));
}

void TFormS::ShowConnected() {
  GBox_COM->hide();
  ShowMeasurementControls(true);
  UpdateProbeBox();
}

bool TFormS::Reconnect(const std::string& port) {
  if (!OpenPort(port)) return false;
  linkLost_ = false;
  Timer_Reconnect->stop();
  ShowConnected();
  Protocol.LinkBack();
  Edit_WLnm->setText(QString::fromLatin1(Format("%.1f", static_cast<double>(Protocol.Link().Wavelength)).c_str()));
  Notice(Format("Spectrometer link back on %s: wavelength set to %.1f nm again, recording goes on", port.c_str(),
                static_cast<double>(Protocol.Link().Wavelength)));
  if (onLinkLost) onLinkLost(false, port);
  return true;
}

void TFormS::SetWavelength(std::string_view entry) {
  if (const std::optional<std::string> shown = Protocol.SetWavelength(entry)) {
    Edit_WLnm->setText(QString::fromLatin1(shown->c_str()));
  } else {
    // Appended, not "+": g++ 12 warns wrongly (-Wrestrict) when optimising.
    std::string message(1, '\'');
    message.append(entry.substr(std::min<std::size_t>(1, entry.size()))).append("' is not a valid wavelength.");
    services_.dialogs.Message(message, "Entry error", Buttons::Ok);
  }
}

void TFormS::Edit_WLnmKeyPress(QObject*) {
  std::string entry(1, ' ');  // " " sets the wavelength; appended for g++ 12's -Wrestrict
  entry.append(BoxText(Edit_WLnm).substr(0, kEntryLength));
  SetWavelength(entry);
}

void TFormS::Btn_AutoZeroClick(QObject*) { SendSpectrometerCommand("x"); }

bool TFormS::SendSpectrometerCommand(std::string_view text) { return Protocol.SendSpectrometerCommand(text); }

void TFormS::VaCommRxChar(QObject*, int count) {
  char chunk[kChunkSize];
  for (int left = count; left > 0;) {
    const std::size_t n = services_.spectrometerChannel.ReadBuffer(chunk, std::min<std::size_t>(kChunkSize, static_cast<std::size_t>(left)));
    if (n == 0) break;
    HandleSpectrometerBytes(std::string_view(chunk, n));
    left -= static_cast<int>(n);
  }
}

void TFormS::HandleSpectrometerBytes(std::optional<std::string_view> chunk) {
  if (!chunk) {
    Protocol.ResetReceiver();
    return;
  }
  Protocol.HandleSpectrometerBytes(*chunk);
}

void TFormS::ShowSpectrometerBusy(bool on) { Protocol.ShowSpectrometerBusy(on); }

void TFormS::TraceSpectrometer(std::string_view prefix, std::string_view bytes) {
  Protocol.TraceSpectrometer(prefix, bytes);
}

void TFormS::Write(std::string_view bytes) { services_.spectrometerChannel.WriteBuffer(bytes.data(), bytes.size()); }

void TFormS::Notice(std::string_view text) {
  if (onNotice) onNotice(text);
}

void TFormS::StartTimer(int milliseconds) {
  if (milliseconds <= 0) {
    Timer_Reply->stop();
  } else {
    Timer_Reply->start(milliseconds);
  }
}

void TFormS::Timer_ReplyTimer() { Protocol.TimerExpired(); }

bool TFormS::TraceShown() const { return !Memo_ComDisplay->isHidden(); }

void TFormS::TraceLine(std::string_view line) {
  Memo_ComDisplay->appendPlainText(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
}

// ---- Readings and table ----------------------------------------------------------

void TFormS::RequestReading(char letter, std::string_view report) {
  if (!Offline()) {
    // No reading while the port is away: the display log says the link is lost.
    if (linkLost_ || !SpectrometerPortOpen()) return;
    if (oneCellChanger_ && CuvettePosition() != 1) return;
  }
  if (!Protocol.RequestReading(letter, report) || !Offline()) return;
  HandleSpectrometerBytes(SimulatedReading(Instrument, State.SimulationRestarts, CuvettePosition()));
}

void TFormS::UpdateProbeBox() { CkB_Probe->setEnabled(context_.controller.ProbePresent); }

Journal* TFormS::LiveJournal() const { return Offline() ? nullptr : context_.journal; }

void TFormS::RecordComplete(std::string_view record) {
  if (Journal* journal = LiveJournal()) journal->SpectrometerRecord(record);
  Table.AddLine(record);
  Memo_Received->appendPlainText(QString::fromLatin1(record.data(), static_cast<qsizetype>(record.size())));
  RedrawSpectrometerPlot();
}

void TFormS::EndRecordingRun() {
  const int unread = Protocol.TakeUnreadReports();
  if (unread > 0) {
    Notice(Format("Spectrometer: %d temperature report%s got no reading (the instrument was still busy)", unread,
                  unread == 1 ? "" : "s"));
  }
}

void TFormS::CkB_SampleClick(QObject*) {
  State.RecordSample = !State.RecordProbe && CkB_Sample->isChecked();
  const bool recording = State.RecordSample || State.RecordProbe;
  if (recording != recording_) {
    recording_ = recording;
    if (recording) {
      Protocol.TakeUnreadReports();
    } else {
      EndRecordingRun();
    }
  }
  Btn_Clear->setEnabled(!State.RecordSample && !State.RecordProbe);
  Btn_Save->setText(QStringLiteral("Save Data"));
  if (State.SimulationRestarts < 0) State.SimulationRestarts = 2;
  if (!Protocol.Exchanging()) ShowSpectrometerBusy(false);
}

void TFormS::CkB_ProbeClick(QObject* sender) {
  State.RecordProbe = CkB_Probe->isChecked();
  CkB_SampleClick(sender);
}

void TFormS::Btn_ClearClick(QObject*) {
  Memo_ComDisplay->clear();
  Btn_Save->setText(QStringLiteral("Load File"));
  std::string header;
  if (Offline()) {
    State.SixCellMode = !State.SixCellMode;
    State.MultiCellTable = State.SixCellMode;
    if (State.SixCellMode) {
      if (Memo_Received->isHidden()) GB_ShowControl->show();
      Btn_Clear->setText(QStringLiteral("One Cell"));
      header = kSixCellSimulationHeader;
    } else {
      GB_ShowControl->hide();
      Btn_Clear->setText(QStringLiteral("Six Cell"));
      header = kOneCellHeader;
    }
    Instrument.EmptyHistory();
    State.SimulationRestarts = -1;
    if (onCellModeChanged) onCellModeChanged(State.SixCellMode);
  } else {
    int positions = context_.controller.PositionCount;
    // The table has six absorbance columns: a larger changer is recorded at
    // its first position only, rather than its cuvettes mixed in one column.
    oneCellChanger_ = positions > kCellCount;
    if (oneCellChanger_) {
      Notice(Format("Spectrometer: the cuvette changer has %d positions, the table at most %d columns: "
                    "readings are taken at position 1 only and recorded as cell 1",
                    positions, kCellCount));
      positions = 1;
    }
    State.MultiCellTable = positions > 1;
    if (State.MultiCellTable) Btn_Clear->setText(QStringLiteral("Clear"));
    header = OnlineHeader(positions);
    // Written to the journal before the first reading that follows.
    if (Journal* journal = LiveJournal()) journal->SpectrometerHeader(header);
  }
  Table.SetText(header + "\r\n");
  Memo_Received->setPlainText(Displayed(Table.Text()));
  if (!Offline()) Btn_COMClick(nullptr);
  RedrawSpectrometerPlot();
}

void TFormS::Btn_SaveClick(QObject*) {
  if (Btn_Save->text() == QLatin1String("Save Data")) {
    const std::optional<std::string> name =
        services_.dialogs.SaveFileName("Save data as ...", "text files|*.txt", "txt", lastSaveName_);
    if (!name) return;
    QFile file(QString::fromLocal8Bit(name->c_str()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      services_.dialogs.Message("Failed to open stream.", "Save Data", Buttons::Ok);
      return;
    }
    const std::string& text = Table.Text();
    const bool written = file.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
    file.close();
    // A full disk must not pass for a saved table.
    if (!written || file.error() != QFileDevice::NoError) {
      services_.dialogs.Message("Failed to write " + *name + ".", "Save Data", Buttons::Ok);
      return;
    }
    lastSaveName_ = QFileInfo(file).fileName().toStdString();
    return;
  }
  const std::optional<std::string> name = services_.dialogs.OpenFileName("Open", "text files|*.txt", "txt");
  if (!name) return;
  QFile file(QString::fromLocal8Bit(name->c_str()));
  if (!file.open(QIODevice::ReadOnly)) {
    services_.dialogs.Message("Failed to open file.", "Zel_SC Script", Buttons::Ok);
    return;
  }
  const QByteArray bytes = file.readAll();
  SetTableText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void TFormS::SetTableText(std::string_view text) {
  Table.SetText(text);
  Memo_Received->setPlainText(Displayed(Table.Text()));
  RedrawSpectrometerPlot();
}

void TFormS::Btn_CopyClick(QObject*) {
  if (!Memo_Received->isHidden()) {
    Memo_Received->selectAll();
    services_.clipboard.SetText(Table.Text());
  } else {
    services_.clipboard.SetImage(SImage->Picture());
  }
}

void TFormS::Btn_PlotOrDataClick(QObject*) {
  const bool toTable = Memo_Received->isHidden();
  Btn_PlotOrData->setText(toTable ? QStringLiteral("Show Plot") : QStringLiteral("Show Data"));
  Btn_Copy->setText(toTable ? QStringLiteral("Copy Data") : QStringLiteral("Copy Plot"));
  Memo_Received->setVisible(toTable);
  Memo_ComDisplay->setVisible(toTable && State.TraceShown);
  SImage->setVisible(!toTable);
  Panel_VAxisLabel->setVisible(!toTable);
  RG_X_Units->setVisible(!toTable);
  for (EditBox* box : EB_Limits) box->setVisible(!toTable);
  GB_ShowControl->setVisible(!toTable && State.MultiCellTable);
  if (!toTable) {
    SImage->raise();
    for (QWidget* w : std::initializer_list<QWidget*>{GB_ShowControl, RG_X_Units, Panel_VAxisLabel}) w->raise();
    RedrawSpectrometerPlot();
  }
}

// ---- Plot ------------------------------------------------------------------------

void TFormS::RedrawSpectrometerPlot() {
  State.MultiCellTable = Table.MultiCell();
  if (State.MultiCellTable) GB_ShowControl->setVisible(Memo_Received->isHidden());
  SImage->MatchSize();
  {
    QPainterCanvas canvas(SImage->Picture());
    PlotRenderer& renderer = context_.renderer;
    DrawSpectrometerPlot(renderer, canvas, State, Table, Picture);
    // The canvas ends here; the slot must not keep pointing at it.
    renderer.Slot(PlotSlot::Spectrometer).Canvas = nullptr;
  }
  SImage->update();
  RefreshMeltAnalysis();
}

void TFormS::SetHorizontalQuantity(PlotQuantity quantity) {
  State.Quantity = quantity;
  L_time->setVisible(quantity == PlotQuantity::Time);
  L_temperature->setVisible(quantity == PlotQuantity::Temperature);
  L_wavelength->setVisible(quantity == PlotQuantity::Wavelength);
}

void TFormS::RG_X_UnitsClick(QObject*) {
  SetHorizontalQuantity(static_cast<PlotQuantity>(std::max(0, RG_X_Units_Items->checkedId())));
  for (std::size_t i : {0u, 1u, 3u, 4u}) {
    EB_Limits[i]->setText(QStringLiteral("A"));
    State.Limits.Settings[i].Automatic = true;
  }
  RedrawSpectrometerPlot();
}

void TFormS::CkB_ShowClick(QObject* sender) {
  for (std::size_t i = 0; i < CkB_Cells.size(); ++i) {
    if (CkB_Cells[i] == sender) State.CellShown[i] = CkB_Cells[i]->isChecked();
  }
  RedrawSpectrometerPlot();
}

void TFormS::EB_PlotLimitExit(QObject* sender) {
  if (TakeLimitBoxEntry(EB_Limits, sender, State.Limits, services_.dialogs, limitEntryBusy_)) RedrawSpectrometerPlot();
}

void TFormS::EB_PlotLimitKeyPress(QObject* sender) { EB_PlotLimitExit(sender); }

void TFormS::Panel_VAxisLabelClick(QObject*) {
  Panel_VAxisLabel->hide();
  Edit_VAxisLabel->show();
  Edit_VAxisLabel->raise();
  Edit_VAxisLabel->setFocus();
}

void TFormS::Edit_VAxisLabelKeyPress(QObject*) {
  State.VerticalAxisLabel = BoxText(Edit_VAxisLabel) + " ";
  Edit_VAxisLabel->hide();
  Panel_VAxisLabel->show();
  RedrawSpectrometerPlot();
}

}  // namespace vireo
