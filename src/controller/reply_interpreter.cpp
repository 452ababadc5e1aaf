// InterpretReply: every complete reply from the controller updates the
// controller state, the status panel, the series and the control boxes.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "control/wide_text.h"
#include "controller/protocol.h"
#include "shell/form_a.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

QString Celsius(float value) { return Widened(Format("%.2f \xB0" "C", static_cast<double>(value))); }

PlotColour HeatExchangerColour(float value, float limit) {
  if (value > limit) return kRed;
  if (value > limit - 10.0f) return kOrange;
  return kBlue;
}

}  // namespace

void FormA::LogReply(std::string_view frame) {
  std::string line = "...";
  line.append(frame);
  AppendToDisplayLog(LoopLevel, line);
}

void FormA::InterpretReply(std::string_view frame) {
  if (CharAt(frame, kArgumentPos) == '?' && !Controller.EchoQueries) return;  // a returned query
  if (!TakeReplyOnLink(frame)) return;
  if (!Controller.ControllerFound && AddressIs(frame, kSampleAddress)) FirstContact();
  if (CharAt(frame, kAddressPos) == '*') {
    LogReply(frame);
    return;
  }
  if (HasAt(frame, kAddressPos, "F1 PR")) {
    HandleProbePresence(frame);
    return;
  }
  const char changerOrFeature = CharAt(frame, kAddressPos + 1);
  if (CodeIs(frame, "CT") || CodeIs(frame, "PT")) {
    HandleReading(frame);
  } else if (CodeIs(frame, "VN")) {
    HandleFirmwareVersion(frame);
  } else if (CodeIs(frame, "ID")) {
    HandleIdentification(frame);
  } else if (CodeIs(frame, "IS")) {
    HandleStatus(frame);
  } else if (CodeIs(frame, "ER")) {
    HandleError(frame);
  } else if (CodeIs(frame, "SS")) {
    HandleStirrerSpeed(frame);
  } else if (CodeIs(frame, "MS") || CodeIs(frame, "LS")) {
    HandleLimit(frame);
  } else if (CodeIs(frame, "TT")) {
    HandleTarget(frame);
  } else if (CodeIs(frame, "MT") || CodeIs(frame, "LT")) {
    HandleLimit(frame);
  } else if (CodeIs(frame, "HL")) {
    HandleHeLimit(frame);
  } else if (CodeIs(frame, "HT")) {
    HandleHeatExchanger(frame);
  } else if (changerOrFeature == '2' && (CodeIs(frame, "DL") || CodeIs(frame, "PL"))) {
    HandleChangerPosition(frame);
  } else if (changerOrFeature == '1' && CodeIs(frame, "FS")) {
    HandleFeatures(frame);
  } else if (CodeIs(frame, "MP")) {
    HandlePositionCount(frame);
  } else if (CodeIs(frame, "RR")) {
    HandleRampRate(frame);
  } else {
    LogReply(frame);
  }
}

void FormA::HandleReading(std::string_view frame) {
  if (Recording.TimeBaseResetPending) {
    Recording.TimeBase = services_.ticks.Now();
    Recording.TimeBaseResetPending = false;
  }
  const bool sample = IsSampleSide(frame);
  const bool probe = sample && CodeIs(frame, "PT");
  // A reading without a value ("N...", or anything that is not a number)
  // adds no record: a made-up 0.0 would corrupt the recorded series.
  const std::optional<float> value =
      CharAt(frame, kArgumentPos) == 'N' ? std::nullopt : ReadFloatAt(frame, kArgumentPos);
  if (!value) {
    if (Log.PT) LogReply(frame);
    return;
  }
  const float v = *value;
  if (probe) {
    Controller.ProbeTemperature = v;
    L_P_Temperature->setText(Celsius(v));
    const std::string record = AppendRecord(3, v);
    // No reading is filed under a cell while the changer moves.
    if (Controller.PositionSettled) RequestReading('P', record);
    UpdateProbeStatistics(v);
    if (Log.PT) LogReply(frame);
    if (Beeps.Probe) services_.beeper.Beep();
  } else if (sample) {
    Controller.SampleTemperature = v;
    L_S_Temperature->setText(Celsius(v));
    const std::string record = AppendRecord(1, v);
    if (Controller.PositionSettled) RequestReading('S', record);
    if (Log.CT) LogReply(frame);
    if (Beeps.Sample) services_.beeper.Beep();
  } else {
    Controller.ReferenceTemperature = v;
    L_R_Temperature->setText(Celsius(v));
    AppendRecord(2, v);
    if (Log.RT) LogReply(frame);
    if (Beeps.Reference) services_.beeper.Beep();
  }
}

void FormA::UpdateProbeStatistics(float reading) {
  PushProbeReading(Controller, reading);
  float mean = 0.0f;
  float deviation = 0.0f;
  if (CkB_P_Avg->isChecked() && ProbeStatistics(Controller, mean, deviation)) {
    L_P_MeanDeviation->setText(
        Widened(Format("(%.2f \xB1 %.3f \xB0" "C)", static_cast<double>(mean), static_cast<double>(deviation))));
  } else {
    L_P_MeanDeviation->setText(Widened("(--.-- \xB1 --.--- \xB0" "C)"));
  }
}

void FormA::HandleStatus(std::string_view frame) {
  if (Log.IS) LogReply(frame);
  const StatusReport status = ReadStatus(frame);
  if (status.restarted) {
    // The start-up sequence runs again without its Clear All: a brown-out in
    // the middle of a run must not cost the recorded series.
    SendControllerCommand("[F1 IS ?]", 1);
    // After a lost link the controller is being read again already, with
    // queries only: a second run would set the reference stirrer.
    if (!Link.Lost()) QueueStep(kStepStartup);
    Controller.SampleControlState = kControlOff;
    Controller.ReferenceControlState = kControlOff;
    ArrangeMainWindow();
    return;
  }
  const bool sample = IsSampleSide(frame);
  if (status.errorPending) SendControllerCommand(sample ? "[F1 ER ?]" : "[R1 ER ?]", 1);

  // Mirror the controller into the check boxes. Their handlers see
  // BoxFromReply and send nothing back. A box that already shows the reported
  // state raises no event, so then only the flag is brought up to date and
  // BoxFromReply is not left standing for the user's next click.
  auto mirror = [this](QCheckBox* box, bool& flag, bool reported) {
    if (flag == reported) return;
    if (box->isChecked() == reported) {
      flag = reported;
      return;
    }
    Controller.BoxFromReply = true;
    SetChecked(box, reported);
  };
  if (sample) {
    mirror(CkB_S_StirrerOn, Controller.SampleStirrerOn, status.stirrerOn);
    mirror(CkB_SController_On, Controller.SampleTcOn, status.controlOn);
    if (!Controller.SampleTcOn) {
      Controller.SampleControlState = kControlOff;
    } else if (status.stable) {
      if (!Controller.SampleStable) {
        RaiseEvent(ProgramEvent::TargetStable,
                   "The sample holder is stable at its target of " + Controller.SampleTargetText.Str() + " \xC2\xB0" "C");
      }
      Controller.SampleStable = true;
      Controller.SampleControlState = kControlHolding;
      if (ReminderStableReportShowsCountdown(EquilReminder)) Label_SplBeepCountdown->show();
    } else {
      Controller.SampleStable = false;
      Controller.SampleControlState = kControlSeeking;
    }
  } else {
    mirror(CkB_R_StirrerOn, Controller.ReferenceStirrerOn, status.stirrerOn);
    mirror(CkB_RController_On, Controller.ReferenceTcOn, status.controlOn);
    if (!Controller.ReferenceTcOn) {
      Controller.ReferenceControlState = kControlOff;
    } else if (status.stable) {
      Controller.ReferenceStable = true;
      Controller.ReferenceControlState = kControlHolding;
    } else {
      Controller.ReferenceStable = false;
      Controller.ReferenceControlState = kControlSeeking;
    }
  }
}

void FormA::HandleError(std::string_view frame) {
  if (Log.ER) LogReply(frame);
  if (CharAt(frame, kArgumentPos) == '+') return;
  const int n = ReadIntAt(frame, kArgumentPos).value_or(0);
  const char* text = ErrorText(n);
  if (!text) return;
  SetNoticeText(QString::fromLatin1(text));
  Panel_ErrorNotice->show();
  AlignPanels();
  RaiseEvent(ProgramEvent::ControllerError, QString::fromLatin1(text).toStdString());
  // Not from a reply: the boxes' handlers switch control off as for a click.
  if (CkB_SController_On->isChecked()) SetChecked(CkB_SController_On, false);
  if (CkB_RController_On->isChecked()) SetChecked(CkB_RController_On, false);
  if (CharAt(frame, kAddressPos) == 'R') {
    Controller.ReferenceControlState = kControlFault;
    Controller.ReferenceFault = n;
  } else {
    Controller.SampleControlState = kControlFault;
    Controller.SampleFault = n;
  }
}

void FormA::HandleStirrerSpeed(std::string_view frame) {
  LogReply(frame);
  const char first = CharAt(frame, kArgumentPos);
  if (first == 'S' || first == '+' || first == '-') return;
  const std::optional<std::int32_t> speed = ReadIntAt(frame, kArgumentPos);
  if (!speed) return;
  const std::string text = Format("%d rpm", *speed);
  switch (CharAt(frame, kAddressPos)) {
    case 'F':
      Controller.SampleSpeed = *speed;
      Controller.SampleStirrerText = text;
      L_S_StirSpeed->setText(Widened(Controller.SampleStirrerText.View()));
      break;
    case 'R':
      Controller.ReferenceSpeed = *speed;
      Controller.ReferenceStirrerText = text;
      L_R_StirSpeed->setText(Widened(Controller.ReferenceStirrerText.View()));
      break;
    default:
      break;
  }
}

void FormA::HandleTarget(std::string_view frame) {
  const std::string_view argument = Argument(frame);
  if (argument == "?" && Controller.ModemWarningArmed) {
    // Only reached with EchoQueries on: the device returned our query.
    Controller.ModemWarningArmed = false;
    const Answer answer = services_.dialogs.Message(
        "The current COM port appears to connect to a modem or similar device.",
        "Comm Error (" + Search.PortName + ")", Buttons::OkCancel);
    if (answer == Answer::Ok) {
      M_File_ExitClick(M_File_Exit);
      return;
    }
  }
  std::string_view text;
  if (argument == "+") {
    text = "20.00";
  } else if (CharAt(frame, kArgumentPos) == 'S') {
    text = TextFrom(frame, kArgumentPos + 2);
  } else {
    text = argument;
  }
  if (IsSampleSide(frame)) {
    Controller.SampleTargetText = text;
    Controller.SampleTarget = FloatOrZero(Controller.SampleTargetText.View());
    if (Controller.FirmwareVersion > 7.0f && Controller.TargetHold &&
        Controller.SampleTarget == Controller.FinalTarget) {
      Controller.TargetHold = false;
    }
    if (!Controller.TargetHold) L_S_TargetT->setText(Widened(Controller.SampleTargetText.Str() + " \xB0" "C"));
    ReminderTargetReport(EquilReminder, Controller);
  } else {
    Controller.ReferenceTargetText = text;
    Controller.ReferenceTarget = FloatOrZero(Controller.ReferenceTargetText.View());
    if (!Controller.TargetHold) L_R_TargetT->setText(Widened(Controller.ReferenceTargetText.Str() + " \xB0" "C"));
  }
  if (!Controller.TargetHold && Log.TT) LogReply(frame);
}

void FormA::HandleHeatExchanger(std::string_view frame) {
  const std::optional<float> value = ReadFloatAt(frame, kArgumentPos);
  if (value) {
    const float v = *value;
    if (IsSampleSide(frame)) {
      Controller.SampleHeTemperature = v;
      L_S_HeatExcT->setText(Widened(Format("Heat Exch: %.2f \xB0" "C", static_cast<double>(v))));
      SetFontColour(L_S_HeatExcT, HeatExchangerColour(v, Controller.SampleHeLimit));
      AppendRecord(4, v);
    } else {
      Controller.ReferenceHeTemperature = v;
      L_R_HeatExcT->setText(Widened(Format("Heat Exch:  %.2f \xB0" "C", static_cast<double>(v))));
      SetFontColour(L_R_HeatExcT, HeatExchangerColour(v, Controller.ReferenceHeLimit));
      AppendRecord(5, v);
    }
  }
  if (Log.HT) LogReply(frame);
}

}  // namespace vireo
