// Timer_LED, the 200 ms heartbeat: the search while searching; otherwise the
// holder LEDs, the reminder's second, the live plot and one step of the step
// machine per tick.
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "controller/serial_channel.h"
#include "shell/form_a.h"
#include "shell/services.h"
#include "shell/widgets.h"

namespace vireo {

void FormA::QueueStep(std::int32_t step) { vireo::QueueStep(Steps, step); }

void FormA::Timer_LEDTimer(QObject* sender) {
  if (!sender || Status.TickBusy) return;
  // A modal box opened inside the tick runs a nested event loop; its ticks
  // must return at once.
  Status.TickBusy = true;
  struct Release {
    bool& busy;
    ~Release() { busy = false; }
  } release{Status.TickBusy};

  if (Search.Searching) {
    SearchStep();
    return;
  }
  WatchLinkTick();
  RetryJournalTick();
  ShowHolderStatus(true);
  ShowHolderStatus(false);
  if (Status.Reference.Ticks >= 5) Status.Reference.Ticks = 0;
  if (Status.Sample.Ticks >= 5) {
    Status.Sample.Ticks = 0;
    ReminderSecond();
  }
  Status.PlotRefreshMs += static_cast<float>(Timer_LED->interval());
  if (Status.PlotRefreshMs >= 1000.0f && Recording.LivePlot && !Recording.OfflineMode) {
    RedrawPlot();
    Status.PlotRefreshMs = 0.0f;
  }
  RunStepMachineTick();
}

void FormA::ShowHolderStatus(bool reference) {
  const LedUpdate u = reference
      ? UpdateLed(Controller.ReferenceControlState, Controller.ReferenceFault, Controller.FirmwareVersion, true,
                  Status.Reference)
      : UpdateLed(Controller.SampleControlState, Controller.SampleFault, Controller.FirmwareVersion, false,
                  Status.Sample);
  QLabel* label = reference ? L_R_LED : L_S_LED;
  LedShape* led = reference ? Shape_R_LED : Shape_S_LED;
  if (u.text) label->setText(QString::fromStdString(*u.text));
  if (u.labelColour) SetFontColour(label, *u.labelColour);
  if (u.ledColour) led->SetColour(*u.ledColour);
}

void FormA::ReminderSecond() {
  const ReminderTickOutput out = ReminderTick(EquilReminder, Controller,
                                              {M_EquilRem_StopBeep->isEnabled(), M_EquilRem_On->isChecked()});
  if (out.enableStopBeep) Enable(M_EquilRem_StopBeep, true);
  if (out.beep) services_.beeper.Beep();
  if (out.callUser) {
    // Raise the window to the top without keeping it there and without
    // changing its state: a maximized window stays maximized. A minimized
    // one comes back as it was before (maximized or not).
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    SetPlotBackground(kAqua);
    Label_SplBeepCountdown->hide();
  }
  Label_SplBeepCountdown->setText(QString::fromStdString(out.countdownText));
}

void FormA::RunStepMachineTick() {
  const StepOutput out = RunStep(Steps, Controller, Recording.PlotInterval);
  for (const std::string& command : out.commands) SendControllerCommand(command, 1);
  if (out.referenceStirrerTextChanged) {
    L_R_StirSpeed->setText(QString::fromLatin1((Controller.ReferenceStirrerText.Str() + " rpm").c_str()));
  }
  if (out.clearAll) M_Plot_ClearAllClick(M_Plot_ClearAll);
  if (out.requestStartupScript) Btn_RunScriptClick(nullptr);
  if (out.readingAgainDone && Link.ReadingDone(services_.ticks.Now())) ControllerLinkBack();
}

void FormA::Btn_ErrorNoticeClick(QObject* sender) {
  if (!sender) return;
  if (Controller.SampleControlState == kControlFault) Controller.SampleControlState = kControlOff;
  if (Controller.ReferenceControlState == kControlFault) Controller.ReferenceControlState = kControlOff;
  // The lost-link notice and its Reconnect stay until the link is back.
  if (LinkIsLost()) return;
  Panel_ErrorNotice->hide();
  Btn_Reconnect->hide();
  AlignPanels();
}

}  // namespace vireo
