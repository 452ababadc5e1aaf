// The replies that tell the program what it talks to: first contact, the
// firmware version, identity, features, probe presence, limits, the cuvette
// changer and the ramp rate.
#include <cctype>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>

#include "controller/protocol.h"
#include "recording/journal.h"
#include "recording/series_memo.h"
#include "shell/form_a.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {

namespace {
// More positions than any changer has: the list and its menu stay usable
// whatever count a faulty reply carries.
constexpr int kMaxPositions = 99;
}  // namespace

void FormA::QueueChangerStartup() {
  // A controller read again after a lost link keeps its cuvette where it is:
  // the start-up homes the changer and moves it.
  if (!Link.Lost()) QueueStep(kStepChangerStartup);
}

void FormA::FirstContact() {
  // From here the display log belongs to the run the configuration starts.
  JournalInUse().Connected();
  Search.Searching = false;
  GBox_COM->hide();
  Panel_Status->resize(151, Panel_Status->height());
  Layout.LayoutHeight = 520;
  Layout.LayoutWidth = 825;
  Panel_HAxisLabel->move(Panel_HAxisLabel->x(), Panel_HAxisLabel->y() + 20);
  Edit_HAxisLabel->move(Edit_HAxisLabel->x(), Edit_HAxisLabel->y() + 20);
  Layout.PlotArranged = true;
  resize(825, Layout.LayoutHeight + 80);
  Panel_Plot->setGeometry(151, 1, Layout.LayoutWidth - 151, Layout.LayoutHeight);
  Panel_Plot->show();
  EnableMainMenus(true);
  for (SeriesMemo* memo : SeriesMemos) memo->ClearAll();
  RunState = kRunIdle;
  Timer1->stop();
  Controller.ControllerFound = true;
  Link.Connected(services_.ticks.Now(), Search.PortName);
  Show(M_File_WorkOffline, false);
  Recording.TimeBaseResetPending = true;
  Steps.ClearAllPending = true;
  Controller.ReferenceLinkSet = false;
  QueueStep(kStepStartup);
  Controller.SampleHeLimit = Controller.ReferenceHeLimit = 60.0f;
  DDL_CuvettePosition->setCurrentIndex(Controller.CuvettePosition - 1);
  ArrangeMainWindow();
  AttachMainPlot();
  Renderer.SeriesLineWidth = 2;
  SetAxisLabels("temperature (\xB0" "C)", "time (min)");
  Recording.LivePlot = true;
  setWindowTitle(QStringLiteral("%1  on %2").arg(QString::fromLatin1(kAppTitle), QString::fromStdString(Search.PortName)));
  FormResize(nullptr);
}

void FormA::HandleProbePresence(std::string_view frame) {
  LogReply(frame);
  if (CharAt(frame, kArgumentPos) == '+') {
    Controller.HasProbe = true;
    Controller.ProbePresent = true;
    GB_ExtProbe->show();
    Show(M_Plot_Shown_Probe, true);
    M_Plot_ShownClick(M_Plot_Shown_Probe);
    for (QAction* a : {M_Data_Copy_Probe, M_Data_Save_Probe, M_Data_Load_Probe}) Show(a, true);
    if (Recording.PlotInterval != 0) SendControllerCommand(ReportIntervalCommand("F1", "PT", Recording.PlotInterval), 1);
  } else {
    Controller.HasProbe = false;
    Controller.ProbePresent = false;
    if (!GB_ExtProbe->isHidden()) {
      GB_ExtProbe->hide();
      Show(M_Plot_Shown_Probe, false);
      M_Plot_Shown_Probe->setChecked(false);
    }
    Controller.ProbeWindowLast = -1;
  }
  UpdateProbeBox(Controller.ProbePresent);
  ArrangeMainWindow();
}

void FormA::HandleFirmwareVersion(std::string_view frame) {
  LogReply(frame);
  if (const auto version = ReadFloatAt(frame, kArgumentPos)) Controller.FirmwareVersion = *version;
  ArrangeMainWindow();
}

void FormA::SetPositionItems(int count) {
  DDL_CuvettePosition->clear();
  for (int k = 1; k <= count; ++k) DDL_CuvettePosition->addItem(QString::number(k));
}

void FormA::HandleIdentification(std::string_view frame) {
  ControllerState& c = Controller;
  LogReply(frame);
  const char id[2] = {CharAt(frame, kArgumentPos), CharAt(frame, kArgumentPos + 1)};
  const bool query = id[0] == '?';
  // An identifier that cannot be read ("[F1 ID]", "[F1 ID ]") changes
  // nothing: the model, and with it the two-holder and changer handling, stay.
  const auto readable = [](char ch) { return std::isalnum(static_cast<unsigned char>(ch)) != 0; };
  if (!query && !(readable(id[0]) && readable(id[1]))) return;
  c.ProbePresent = false;
  if (!query) {
    c.ModelId = std::string_view(id, 2);
    c.BasicModel = !(id[1] > '3' || c.ModelId == "13" || c.ModelId == "00");
  }
  const char model = c.ModelId.data[0];
  const char variant = c.ModelId.data[1];
  c.MinTarget = -40.0f;
  c.MaxTarget = 105.0f;
  if ((model == '1' || model == '2') && variant == '2') {
    c.MinTarget = -55.0f;
    c.MaxTarget = 150.0f;
  }
  if (c.ModelId == "13") c.MinStirSpeed = 0;
  c.HasTemperatureControl = true;
  c.HasStirrers = true;
  c.HasProbe = false;
  c.HasChanger = false;
  c.ReferenceShown = false;
  if (model == '2') {
    LinkReferenceOnce();
    c.ReferenceControlState = kControlOff;
  } else {
    c.ReferenceStable = true;
  }
  if (model == '3') {
    c.HasChanger = true;
    QueueChangerStartup();
    if (variant == '0' || variant == '1') {
      c.PositionCount = 4;
      SetPositionItems(4);
      for (int k = 3; k <= 4; ++k) Show(M_Tools_CP_Items[static_cast<std::size_t>(k - 1)], true);
    } else if (variant == '2') {
      c.PositionCount = 6;
      SetPositionItems(6);
      for (int k = 3; k <= 6; ++k) Show(M_Tools_CP_Items[static_cast<std::size_t>(k - 1)], true);
    }
    Enable(M_Tools_CP, true);
    DDL_CuvettePosition->setCurrentIndex(0);
    c.CuvettePosition = 1;
  }
  if (variant >= '1' || c.ModelId == "30") SendControllerCommand("[F1 PS ?]", 1);
  ArrangeMainWindow();
}

void FormA::LinkReferenceOnce() {
  ControllerState& c = Controller;
  if (!c.ReferenceLinkSet) {
    c.ReferenceLinkSet = true;
    // Linked without a command: nothing of the sample holder has been read
    // yet, and a controller already at work keeps its reference holder's
    // target and stirrer. The link acts from the user's next sample setting.
    M_Tools_Link_RtoS->setChecked(true);
  }
  c.ReferenceShown = !M_Tools_Link_RtoS->isChecked();
  ArrangeMainWindow();
}

void FormA::HandleLimit(std::string_view frame) {
  LogReply(frame);
  if (CodeIs(frame, "MS") || CodeIs(frame, "LS")) {
    if (const auto speed = ReadIntAt(frame, kArgumentPos)) {
      (CodeIs(frame, "MS") ? Controller.MaxStirSpeed : Controller.MinStirSpeed) = *speed;
    }
  } else if (const auto limit = ReadFloatAt(frame, kArgumentPos)) {
    (CodeIs(frame, "MT") ? Controller.MaxTarget : Controller.MinTarget) = *limit;
  }
}

void FormA::HandleHeLimit(std::string_view frame) {
  LogReply(frame);
  Controller.SampleHeLimit = Controller.ReferenceHeLimit = FloatOrZero(Argument(frame));
}

void FormA::HandleChangerPosition(std::string_view frame) {
  Controller.PositionSettled = true;
  // A position no changer has is not where the changer stands: it is not
  // taken, so the position stays a valid entry of the position list.
  const auto position = ReadIntAt(frame, kArgumentPos);
  if (position && *position >= 1 && *position <= kMaxPositions) Controller.CuvettePosition = *position;
  ArrangeMainWindow();
  LogReply(frame);
}

void FormA::HandleFeatures(std::string_view frame) {
  ControllerState& c = Controller;
  c.HasTemperatureControl = c.HasStirrers = c.HasProbe = c.HasChanger = false;
  c.ReferenceShown = false;
  auto present = [&frame](std::size_t k) { return CharAt(frame, kArgumentPos + k) == '+'; };
  if (present(0)) c.HasTemperatureControl = true;
  if (present(1)) c.HasStirrers = true;
  if (present(2)) {
    c.HasProbe = true;
    SendControllerCommand("[F1 PS ?]", 1);
  }
  if (present(3)) {
    c.HasChanger = true;
    QueueChangerStartup();
  }
  if (present(4)) {
    ArrangeMainWindow();
    LinkReferenceOnce();
    c.ReferenceControlState = kControlOff;
  }
  LogReply(frame);
  ArrangeMainWindow();
}

void FormA::HandlePositionCount(std::string_view frame) {
  if (const auto count = ReadIntAt(frame, kArgumentPos)) {
    Controller.PositionCount = std::clamp(*count, 1, kMaxPositions);
  }
  ArrangeMainWindow();
  LogReply(frame);
  const int count = Controller.PositionCount;
  SetPositionItems(count);
  DDL_CuvettePosition->setCurrentIndex(0);
  if (count < 10) {
    for (int k = 3; k <= 9; ++k) {
      if (count > k - 1) Show(M_Tools_CP_Items[static_cast<std::size_t>(k - 1)], true);
    }
    DDL_CuvettePosition->setGeometry(22, DDL_CuvettePosition->y(), 39, DDL_CuvettePosition->height());
  } else {
    Show(M_Tools_CP, false);
    Show(M_Tools_S3, false);
    DDL_CuvettePosition->setGeometry(12, DDL_CuvettePosition->y(), 49, DDL_CuvettePosition->height());
  }
}

void FormA::HandleRampRate(std::string_view frame) {
  const std::string_view rate = Argument(frame);
  if (IsSampleSide(frame)) {
    Controller.SampleRampRateText = rate;
  } else {
    Controller.ReferenceRampRateText = rate;
  }
  LogReply(frame);
}

}  // namespace vireo
