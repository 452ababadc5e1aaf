#include "controller/step_machine.h"

#include "controller/protocol.h"

namespace vireo {

void QueueStep(StepMachine& m, std::int32_t step) {
  for (std::int32_t i = 0; i < m.PendingCount; ++i) {
    if (m.PendingSteps[i] == step) return;
  }
  if (m.PendingCount >= StepMachine::kQueueCapacity) return;  // every distinct step is already waiting
  m.PendingSteps[m.PendingCount++] = step;
}

namespace {

// The end of the start-up sequence: Clear All, once per connection.
std::int32_t ClearAllOnce(StepMachine& m, StepOutput& out) {
  out.clearAll = m.ClearAllPending;
  m.ClearAllPending = false;
  return kStepReportInterval;
}

// After the identity and limit queries: the reference holder's queries on a
// two-holder controller, otherwise the end of the sequence.
std::int32_t AfterLimits(StepMachine& m, const ControllerState& s, StepOutput& out) {
  if (s.TwoHolder()) return 20;
  return ClearAllOnce(m, out);
}

}  // namespace

StepOutput RunStep(StepMachine& m, ControllerState& s, std::int32_t plotInterval) {
  StepOutput out;
  const float v = s.FirmwareVersion;
  const bool older = v < 7.0f;
  const bool extended = s.Extended();
  auto send = [&out](std::string command) { out.commands.push_back(std::move(command)); };
  auto& step = m.CurrentStep;

  switch (step) {
    case kStepIdle:
      if (m.PendingCount > 0) {
        step = m.PendingSteps[0];
        for (std::int32_t i = 0; i + 1 < StepMachine::kQueueCapacity; ++i) m.PendingSteps[i] = m.PendingSteps[i + 1];
        m.PendingSteps[StepMachine::kQueueCapacity - 1] = -1;
        m.PendingCount -= 1;
      }
      break;
    case 0:
      if (m.ReadingAgain == StepMachine::Reading::Queued) m.ReadingAgain = StepMachine::Reading::Running;
      send(QueryCommand("F1", "VN"));
      step = 1;
      break;
    case 1: send(QueryCommand("F1", "ID")); step = 2; break;
    case 2: send(QueryCommand("F1", "TT")); step = 3; break;
    case 3: send(SwitchCommand("F1", "IS", true)); step = 4; break;
    case 4: send(SwitchCommand("F1", "ER", true)); step = 5; break;
    case 5: send(SwitchCommand("F1", "TT", true)); step = 6; break;
    case 6: send(SwitchCommand("F1", "PS", true)); step = 7; break;
    case 7:
      if (older) send(SwitchCommand("F1", "FP", true));
      step = 8;
      break;
    case 8:
      step = older && extended ? 10 : AfterLimits(m, s, out);
      break;
    case 10: send(QueryCommand("F1", "HL")); step = 11; break;
    case 11:
      if (s.ModelId == "13" && v < 1.01f) {
        step = 13;
      } else {
        send(QueryCommand("F1", "MS"));
        step = 12;
      }
      break;
    case 12: send(QueryCommand("F1", "LS")); step = 13; break;
    case 13: send(QueryCommand("F1", "SS")); step = 14; break;
    case 14: send(QueryCommand("F1", "MT")); step = 15; break;
    case 15:
      if (older) send(QueryCommand("F1", "LT"));
      step = AfterLimits(m, s, out);
      break;
    case 20: send(QueryCommand("R1", "IS")); step = 21; break;
    case 21: send(QueryCommand("R1", "TT")); step = 22; break;
    case 22:
      if (older && extended && m.ReadingAgain != StepMachine::Reading::Running) {
        s.ReferenceStirrerText = UpToFirstBlank(s.SampleStirrerText.View());
        out.referenceStirrerTextChanged = true;
        send(SetCommand("R1", "SS", s.ReferenceStirrerText.View()));
      }
      step = 23;
      break;
    case 23: send(SwitchCommand("R1", "IS", true)); step = 24; break;
    case 24: send(SwitchCommand("R1", "ER", true)); step = 25; break;
    case 25:
      send(SwitchCommand("R1", "TT", true));
      step = ClearAllOnce(m, out);
      break;
    case 100: send(ReportIntervalCommand("F1", "CT", plotInterval)); step = 101; break;
    case 101:
      if (s.ProbePresent) send(ReportIntervalCommand("F1", "PT", plotInterval));
      step = 102;
      break;
    case 102:
      if (older && extended) send(ReportIntervalCommand("F1", "HT", plotInterval));
      step = 103;
      break;
    case 103:
      if (s.TwoHolder()) {
        send(ReportIntervalCommand("R1", "CT", plotInterval));
        step = 104;
      } else {
        step = kStepStartupScript;
      }
      break;
    case 104:
      if (s.TwoHolder() && older && extended) send(ReportIntervalCommand("R1", "HT", plotInterval));
      step = kStepStartupScript;
      break;
    case 110:
      if (s.ModelId.data[0] == '3' && v > 1.5f && older && s.ModelId.data[1] > '3') {
        send(QueryCommand("F2", "MP"));
        send(QueryCommand("F2", "DL"));
      }
      step = older ? kStepStartupScript : kStepChangerHome;
      break;
    case 111:
      send(std::string(kHomeCommand));
      m.PositionWaitTicks = -1;
      step = 112;
      break;
    case 112:
      if (m.PositionWaitTicks == 0) step = kStepChangerMove;
      m.PositionWaitTicks += 1;
      break;
    case 113:
      s.PositionSettled = false;
      send(PositionCommand(s.RequestedPosition));
      s.CuvettePosition = s.RequestedPosition;
      step = kStepStartupScript;
      break;
    case 200:
      if (m.ReadingAgain == StepMachine::Reading::Running) {
        out.readingAgainDone = true;
        m.ReadingAgain = StepMachine::Reading::No;
      }
      if (m.StartupScriptPending) {
        out.requestStartupScript = true;
        m.StartupScriptPending = false;
      }
      step = kStepIdle;
      break;
    default:
      break;  // an unknown step holds the machine where it is
  }
  return out;
}

}  // namespace vireo
