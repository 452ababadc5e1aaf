// Timer1: what it does on each tick depends on the run state. While probing
// for a controller it sends the connection probe.
#include <QTimer>

#include "shell/form_a.h"

namespace vireo {

void FormA::Timer1Timer(QObject* sender) {
  if (!sender) {
    // Engine reset: back to idle with the timer at its idle period.
    RunState = kRunIdleTimer;
    Timer1->setInterval(600);
    Timer1->start();
    LoopLevel = -1;
    return;
  }
  if (RunState == kRunProbing) SendControllerCommand("[F1 IS ?]", 1);
}

}  // namespace vireo

namespace vireo {

// Script files are not run yet: the start-up script request finds nothing to run.
void FormA::Btn_RunScriptClick(QObject*) {}

}  // namespace vireo

namespace vireo {

void FormA::EndWaitBtnClick(QObject*) {}
void FormA::M_Tools_CheckScriptClick(QObject*) {}

}  // namespace vireo
