// The "Change" buttons and the menu items that ask for a value: each maps to
// a parameter kind, and the entry routine does the rest.
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include "control/setpoints.h"
#include "shell/form_a.h"

namespace vireo {
namespace {

class WindowHost final : public SetpointHost {
 public:
  explicit WindowHost(FormA& w) : w_(w) {}
  void Send(const std::string& command) override { w_.SendControllerCommand(command, 1); }
  void ShowTarget(bool reference, const std::string& caption) override {
    (reference ? w_.L_R_TargetT : w_.L_S_TargetT)->setText(QString::fromLatin1(caption.c_str()));
  }
  void ShowSpeed(bool reference, const std::string& caption) override {
    (reference ? w_.L_R_StirSpeed : w_.L_S_StirSpeed)->setText(QString::fromLatin1(caption.c_str()));
  }
  void QueueReportInterval() override { w_.QueueStep(kStepReportInterval); }
  bool Linked() const override { return w_.M_Tools_Link_RtoS->isChecked(); }

 private:
  FormA& w_;
};

}  // namespace

void FormA::M_ParameterEntry(QObject* sender) {
  if (!sender) return;
  const auto is = [sender](std::initializer_list<const QObject*> controls) {
    for (const QObject* c : controls) {
      if (c == sender) return true;
    }
    return false;
  };
  int kind = 0;
  if (is({M_Plot_TimeInterval})) {
    kind = kKindPlotInterval;
  } else if (is({M_Tools_TC_Ref_Target, Btn_R_TargetChange})) {
    kind = kKindReferenceTarget;
  } else if (is({M_Tools_TC_Spl_Target, M_Tools_TC1_Target, Btn_S_TargetChange})) {
    kind = kKindSampleTarget;
  } else if (is({M_EquilRem_Delay})) {
    kind = kKindReminderDelay;
  } else if (is({M_Tools_SC_Ref_Speed, Btn_R_StirChange})) {
    kind = kKindReferenceSpeed;
  } else if (is({M_Tools_SC_Spl_Speed, M_Tools_SC1_Speed, Btn_S_StirChange})) {
    kind = kKindSampleSpeed;
  } else if (is({M_Tools_Ramp_1, M_Tools_Ramp_Sample})) {
    kind = M_Tools_Link_RtoS->isChecked() ? kKindRampBoth : kKindRampSample;
  } else if (is({M_Tools_Ramp_Reference})) {
    kind = kKindRampReference;
  } else if (is({M_Tools_Ramp_Both})) {
    kind = kKindRampBoth;
  } else {
    return;
  }
  if (kind == kKindReferenceTarget || kind == kKindSampleTarget) Label_SplBeepCountdown->hide();
  EnterParameter(kind);
}

void FormA::EnterParameter(int kind) {
  WindowHost host(*this);
  SetpointContext context{Controller, Setpoints, EquilReminder, Recording, RampActive, services_.dialogs,
                          services_.parameters, host};
  vireo::EnterParameter(kind, context);
}

}  // namespace vireo
