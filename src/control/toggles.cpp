// The on/off controls: temperature control and stirrers of both holders, the
// cuvette position, home-before, the reference-to-sample link and the probe
// averaging. A check box's handler is the only place that sends an on/off
// command: menu items set the box, and the box's change runs the handler.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include "controller/protocol.h"
#include "shell/form_a.h"
#include "shell/widgets.h"

namespace vireo {
namespace {

// A change the reply interpreter made to mirror the controller sends nothing:
// the flag is consumed by the first handler that sees it.
bool ConsumeReplyFlag(ControllerState& c) {
  if (!c.BoxFromReply) return false;
  c.BoxFromReply = false;
  return true;
}

void CheckPair(QAction* on, QAction* off, bool isOn) {
  on->setChecked(isOn);
  off->setChecked(!isOn);
}

}  // namespace

void FormA::M_Tools_TC_OnOff_Click(QObject* sender) {
  Label_SplBeepCountdown->hide();
  ControllerState& c = Controller;
  const bool linked = M_Tools_Link_RtoS->isChecked();
  auto referenceControl = [this, &c](bool on, bool fromBox) {
    if (fromBox && !ConsumeReplyFlag(c)) SendControllerCommand(on ? "[R1 TC +]" : "[R1 TC -]", 1);
    if (on) {
      c.ReferenceStable = false;
      c.ReferenceControlState = kControlSeeking;
    } else {
      c.ReferenceControlState = kControlOff;
    }
    SetChecked(CkB_RController_On, on);
    CheckPair(M_Tools_TC_Ref_On, M_Tools_TC_Ref_Off, on);
    c.ReferenceTcOn = on;
    if (!on) SetFontColour(L_R_LED, kBlue);
  };

  const bool sampleBox = sender == CkB_SController_On;
  const bool referenceBox = sender == CkB_RController_On;
  if (sender == M_Tools_TC1_On || sender == M_Tools_TC_Spl_On || (sampleBox && CkB_SController_On->isChecked())) {
    if (sampleBox && !ConsumeReplyFlag(c)) SendControllerCommand("[F1 TC +]", 1);
    c.SampleStable = false;
    c.SampleControlState = kControlSeeking;
    ArmReminder(EquilReminder);
    SetChecked(CkB_SController_On, true);
    CheckPair(M_Tools_TC1_On, M_Tools_TC1_Off, true);
    CheckPair(M_Tools_TC_Spl_On, M_Tools_TC_Spl_Off, true);
    c.SampleTcOn = true;
    if (linked) referenceControl(true, false);
  } else if (sender == M_Tools_TC1_Off || sender == M_Tools_TC_Spl_Off || sampleBox) {
    if (sampleBox && !ConsumeReplyFlag(c)) SendControllerCommand("[F1 TC -]", 1);
    c.SampleControlState = kControlOff;
    SetChecked(CkB_SController_On, false);
    CheckPair(M_Tools_TC1_On, M_Tools_TC1_Off, false);
    CheckPair(M_Tools_TC_Spl_On, M_Tools_TC_Spl_Off, false);
    c.SampleTcOn = false;
    SetFontColour(L_S_LED, kBlue);
    if (linked) referenceControl(false, false);
  } else if (sender == M_Tools_TC_Ref_On || (referenceBox && CkB_RController_On->isChecked())) {
    referenceControl(true, referenceBox);
  } else if (sender == M_Tools_TC_Ref_Off || referenceBox) {
    referenceControl(false, referenceBox);
  }
}

void FormA::M_Tools_SC_Spl_OnOff_Click(QObject* sender) {
  ControllerState& c = Controller;
  const bool box = sender == CkB_S_StirrerOn;
  bool on;
  if (sender == M_Tools_SC1_On || sender == M_Tools_SC_Spl_On || (box && CkB_S_StirrerOn->isChecked())) {
    on = true;
  } else if (sender == M_Tools_SC1_Off || sender == M_Tools_SC_Spl_Off || box) {
    on = false;
  } else {
    return;
  }
  if (box && !ConsumeReplyFlag(c)) SendControllerCommand(on ? "[F1 SS +]" : "[F1 SS -]", 1);
  c.SampleStirrerOn = on;
  SetChecked(CkB_S_StirrerOn, on);
  CheckPair(M_Tools_SC1_On, M_Tools_SC1_Off, on);
  CheckPair(M_Tools_SC_Spl_On, M_Tools_SC_Spl_Off, on);
  if (M_Tools_Link_RtoS->isChecked()) M_Tools_SC_Ref_OnOff_Click(on ? M_Tools_SC_Ref_On : M_Tools_SC_Ref_Off);
}

void FormA::M_Tools_SC_Ref_OnOff_Click(QObject* sender) {
  ControllerState& c = Controller;
  const bool box = sender == CkB_R_StirrerOn;
  bool on;
  if (sender == M_Tools_SC_Ref_On || (box && CkB_R_StirrerOn->isChecked())) {
    on = true;
  } else if (sender == M_Tools_SC_Ref_Off || box) {
    on = false;
  } else {
    return;
  }
  if (box && !ConsumeReplyFlag(c)) SendControllerCommand(on ? "[R1 SS +]" : "[R1 SS -]", 1);
  c.ReferenceStirrerOn = on;
  SetChecked(CkB_R_StirrerOn, on);
  CheckPair(M_Tools_SC_Ref_On, M_Tools_SC_Ref_Off, on);
}

void FormA::M_Tools_CP_Click(QObject* sender) {
  if (Steps.Busy()) return;
  ControllerState& c = Controller;
  c.CuvettePosition = 0;
  if (sender == DDL_CuvettePosition) {
    c.CuvettePosition = ParseLeadingInt(DDL_CuvettePosition->currentText().toStdString()).value_or(0);
  }
  for (QAction* item : M_Tools_CP_Items) item->setChecked(false);
  for (int k = 1; k <= 9; ++k) {
    QAction* item = M_Tools_CP_Items[static_cast<std::size_t>(k - 1)];
    if (sender == item || c.CuvettePosition == k) {
      c.CuvettePosition = k;
      item->setChecked(true);
      break;
    }
  }
  if (sender != DDL_CuvettePosition) DDL_CuvettePosition->setCurrentIndex(c.CuvettePosition - 1);
  c.RequestedPosition = c.CuvettePosition;
  QueueStep(M_Tools_CP_HomeBefore->isChecked() ? kStepChangerHome : kStepChangerMove);
}

void FormA::M_Tools_CP_HomeBefore_Click(QObject* sender) {
  if (sender == M_Tools_CP_HomeBefore) {
    M_Tools_CP_HomeBefore->setChecked(!M_Tools_CP_HomeBefore->isChecked());
    SetChecked(CkB_HomeBefore, M_Tools_CP_HomeBefore->isChecked());
  } else {
    M_Tools_CP_HomeBefore->setChecked(CkB_HomeBefore->isChecked());
  }
}

void FormA::M_Tools_Link_RtoSClick(QObject*) {
  ControllerState& c = Controller;
  if (M_Tools_Link_RtoS->isChecked()) {
    M_Tools_Link_RtoS->setChecked(false);
    Show(M_Tools_Ramp_1, false);
    Show(M_Tools_Ramp_3, true);
    c.ReferenceShown = true;
  } else {
    M_Tools_Link_RtoS->setChecked(true);
    SetChecked(CkB_RController_On, CkB_SController_On->isChecked());
    if (RampActive) {
      SendControllerCommand(SetCommand("R1", "RR", c.SampleRampRateText.View()), 1);
      c.ReferenceRampRateText = c.SampleRampRateText.View();
    }
    L_R_TargetT->setText(QString::fromLatin1((c.SampleTargetText.Str() + " \xB0" "C").c_str()));
    SendControllerCommand(SetCommand("R1", "TT", c.SampleTargetText.View()), 1);
    c.ReferenceStirrerText = c.SampleStirrerText.View();
    const std::string speed(UpToFirstBlank(c.ReferenceStirrerText.View()));
    L_R_StirSpeed->setText(QString::fromLatin1((speed + " rpm").c_str()));
    SendControllerCommand(SetCommand("R1", "SS", speed), 1);
    SetChecked(CkB_R_StirrerOn, CkB_S_StirrerOn->isChecked());
    c.ReferenceShown = false;
  }
  ArrangeMainWindow();
}

void FormA::CkB_P_AvgClick(QObject*) {
  SendControllerCommand(CkB_P_Avg->isChecked() ? "[F1 PX +]" : "[F1 PX -]", 1);
  ArrangeMainWindow();
}

}  // namespace vireo
