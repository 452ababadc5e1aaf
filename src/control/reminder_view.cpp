// The equilibration reminder's menu: on, off, and acknowledging a reminder.
#include <QAction>
#include <QLabel>

#include "shell/form_a.h"

namespace vireo {

void FormA::M_EquilRem_OnOffClick(QObject* sender) {
  Reminder& r = EquilReminder;
  if (sender == M_EquilRem_On) {
    r.ReminderState = kReminderIdle;
    M_EquilRem_On->setChecked(true);
    M_EquilRem_Off->setChecked(false);
    Label_SplBeepCountdown->hide();
    Enable(M_EquilRem_StopBeep, false);
    r.ReminderToFront = true;
    r.ReminderCount = 0;
  } else if (sender == M_EquilRem_Off) {
    r.ReminderState = kReminderOff;
    M_EquilRem_On->setChecked(false);
    M_EquilRem_Off->setChecked(true);
    Enable(M_EquilRem_StopBeep, false);
    r.ReminderCount = 0;
  }
}

void FormA::M_EquilRem_StopBeepClick(QObject* sender) {
  Reminder& r = EquilReminder;
  if (r.ReminderState != kReminderOff) r.ReminderState = kReminderIdle;
  Label_SplBeepCountdown->hide();
  Enable(M_EquilRem_StopBeep, false);
  SetPlotBackground(kWhite);
  if (sender == M_EquilRem_StopBeep) r.ReminderToFront = false;
}

}  // namespace vireo
