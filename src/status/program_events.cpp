#include "status/program_events.h"

namespace vireo {

const char* EventName(ProgramEvent event) {
  switch (event) {
    case ProgramEvent::RunStarted: return "run-started";
    case ProgramEvent::RunEnded: return "run-ended";
    case ProgramEvent::ScriptFinished: return "script-finished";
    case ProgramEvent::ScriptCancelled: return "script-cancelled";
    case ProgramEvent::OperatorMessage: return "operator-message";
    case ProgramEvent::TargetStable: return "target-stable";
    case ProgramEvent::LinkLost: return "link-lost";
    case ProgramEvent::LinkBack: return "link-back";
    case ProgramEvent::ControllerError: return "controller-error";
    case ProgramEvent::JournalCannotWrite: return "journal-cannot-write";
  }
  return "unknown";
}

void EventLog::Add(EventRecord record) {
  ++counts_[static_cast<int>(record.event)];
  latest_.push_back(std::move(record));
  while (latest_.size() > kKept) latest_.pop_front();
}

std::string OneLine(std::string_view text) {
  std::string out;
  for (char c : text) out += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

}  // namespace vireo
