#pragma once
// The moments someone watching a long run from elsewhere wants to hear of.
// The window raises them where they happen; the status server shows the
// latest and runs the --on-event command for each.

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace vireo {

enum class ProgramEvent {
  RunStarted,
  RunEnded,
  ScriptFinished,
  ScriptCancelled,
  OperatorMessage,
  TargetStable,
  LinkLost,
  LinkBack,
  ControllerError,
  JournalCannotWrite,
};
inline constexpr int kProgramEventCount = 10;

// The name given to the command and shown on the page: "run-started", ...
const char* EventName(ProgramEvent event);

class ProgramEvents {
 public:
  virtual ~ProgramEvents() = default;
  // `text` is one line saying what happened.
  virtual void Raise(ProgramEvent event, std::string_view text) = 0;
};

struct EventRecord {
  std::string time;  // ISO 8601 local time
  ProgramEvent event = ProgramEvent::RunStarted;
  std::string text;
};

// The latest events, newest last, and how many of each kind there were.
class EventLog {
 public:
  static constexpr std::size_t kKept = 50;
  void Add(EventRecord record);
  const std::deque<EventRecord>& Latest() const { return latest_; }
  long Count(ProgramEvent event) const { return counts_[static_cast<int>(event)]; }

 private:
  std::deque<EventRecord> latest_;
  long counts_[kProgramEventCount] = {};
};

// A text made one line: line breaks and tabs become blanks, trimmed at both ends.
std::string OneLine(std::string_view text);

}  // namespace vireo
