#include "scripting/typed_command.h"

#include <algorithm>

#include "controller/protocol.h"
#include "scripting/script_language.h"

namespace vireo {
LineFault CheckCommandLine(std::string_view line) {
  if (line.empty() || line.front() != '[' || line.back() != ']') return LineFault::Brackets;
  int depth = 0;
  bool glued = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '[') ++depth;
    if (line[i] == ']') --depth;
    if (depth < 0 || depth > 1) return LineFault::Brackets;
    if (line[i] == ']' && i + 1 < line.size() && line[i + 1] == '[') glued = true;
  }
  return glued ? LineFault::NoSpace : LineFault::None;
}

std::string ToUpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string ClampedPositionCommand(std::string_view command, int positionCount) {
  const int requested = ReadIntAt(command, 6).value_or(0);
  const int position = std::max(1, std::min(requested, std::max(1, positionCount)));
  return "[F2 " + std::string(1, CharAt(command, 4)) + "L " + std::to_string(position) + "]";
}

LocalChange ApplyCommandToState(std::string& command, ControllerState& state) {
  if (command.starts_with("[F2 DL ") || command.starts_with("[F2 PL ")) {
    command = ClampedPositionCommand(command, state.PositionCount);
    return LocalChange::Position;
  }
  if (command.starts_with("[F1 DP S ")) return LocalChange::RecordDecimals;
  if (command.starts_with("[F1 TT S ")) {
    state.SampleStable = false;
    state.SampleTarget = ReadFloatAt(command, 9).value_or(state.SampleTarget);
    return LocalChange::SampleTarget;
  }
  if (command.starts_with("[F1 SS S ")) {
    state.SampleSpeed = ReadIntAt(command, 9).value_or(state.SampleSpeed);
    return LocalChange::SampleSpeed;
  }
  if (command.starts_with("[R1 TT S ")) {
    state.ReferenceStable = false;
    state.ReferenceTarget = ReadFloatAt(command, 9).value_or(state.ReferenceTarget);
    return LocalChange::ReferenceTarget;
  }
  if (command.starts_with("[R1 SS S ")) {
    state.ReferenceSpeed = ReadIntAt(command, 9).value_or(state.ReferenceSpeed);
    return LocalChange::ReferenceSpeed;
  }
  return LocalChange::None;
}

bool ApplyReplyLogCommand(std::string_view command, ReplyLog& log) {
  const int sign = SwitchSign(command);
  const ReplyKind kind = ReplyLogKind(command);
  if (sign == 0 || kind == ReplyKind::None) return false;
  bool* switches[] = {nullptr, &log.IS, &log.CT, &log.RT, &log.PT, &log.HT, &log.TT, &log.ER};
  *switches[static_cast<int>(kind)] = sign > 0;
  return true;
}

}  // namespace vireo
