#pragma once
// The one-command-per-tick sequencer of the poll cycle: the start-up
// sequence after first contact, the report-interval commands, and the
// cuvette changer's start-up and moves.

#include <cstdint>
#include <string>
#include <vector>

#include "controller/controller_state.h"

namespace vireo {

// Step numbers other parts of the program queue.
enum Step : std::int32_t {
  kStepIdle = -1,
  kStepStartup = 0,
  kStepReportInterval = 100,
  kStepChangerStartup = 110,
  kStepChangerHome = 111,
  kStepChangerMove = 113,
  kStepStartupScript = 200,
};

struct StepMachine {
  // Three steps were the original depth; room is kept for every distinct
  // step the program queues, so a request is never dropped.
  static constexpr std::int32_t kQueueCapacity = 8;
  // The changer's position choice is refused while this many steps wait.
  static constexpr std::int32_t kBusyQueueLength = 3;

  std::int32_t CurrentStep = kStepIdle;
  std::int32_t PendingSteps[kQueueCapacity] = {-1, -1, -1, -1, -1, -1, -1, -1};
  std::int32_t PendingCount = 0;
  std::int32_t PositionWaitTicks = 0;
  bool StartupScriptPending = true;
  // The start-up sequence of a new connection ends with Clear All. A rerun
  // after the controller reported a restart leaves this off and keeps every
  // recorded series and their time scale.
  bool ClearAllPending = true;
  // The sequence reads a controller that came back after a lost link: it
  // asks and switches reports on, but sets nothing on a holder.
  // Set with the start-up step queued; Running once that step is taken, so
  // that the end of an earlier queued sequence does not count as its end.
  enum class Reading { No, Queued, Running } ReadingAgain = Reading::No;

  bool Busy() const { return PendingCount >= kBusyQueueLength; }
};

// Appends a step to the queue. A step that is already waiting is not queued
// twice: running the same sequence twice in a row sends nothing new.
void QueueStep(StepMachine& machine, std::int32_t step);

// What one tick of the machine asks the window to do, in this order: send
// the commands, then run Clear All, then request the start-up script.
struct StepOutput {
  std::vector<std::string> commands;
  bool clearAll = false;
  bool requestStartupScript = false;
  bool referenceStirrerTextChanged = false;  // the reference speed label must show the new text
  bool readingAgainDone = false;             // a sequence run with ReadingAgain has ended
};

// Executes the current step (one per tick) and moves to the next.
StepOutput RunStep(StepMachine& machine, ControllerState& state, std::int32_t plotInterval);

}  // namespace vireo
