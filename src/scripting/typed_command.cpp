#include "scripting/typed_command.h"

#include <algorithm>

#include "controller/protocol.h"

namespace vireo {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

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
  if (StartsWith(command, "[F2 DL ") || StartsWith(command, "[F2 PL ")) {
    command = ClampedPositionCommand(command, state.PositionCount);
    return LocalChange::Position;
  }
  if (StartsWith(command, "[F1 DP S ")) return LocalChange::RecordDecimals;
  if (StartsWith(command, "[F1 TT S ")) {
    state.SampleStable = false;
    state.SampleTarget = ReadFloatAt(command, 9).value_or(state.SampleTarget);
    return LocalChange::SampleTarget;
  }
  if (StartsWith(command, "[F1 SS S ")) {
    state.SampleSpeed = ReadIntAt(command, 9).value_or(state.SampleSpeed);
    return LocalChange::SampleSpeed;
  }
  if (StartsWith(command, "[R1 TT S ")) {
    state.ReferenceStable = false;
    state.ReferenceTarget = ReadFloatAt(command, 9).value_or(state.ReferenceTarget);
    return LocalChange::ReferenceTarget;
  }
  if (StartsWith(command, "[R1 SS S ")) {
    state.ReferenceSpeed = ReadIntAt(command, 9).value_or(state.ReferenceSpeed);
    return LocalChange::ReferenceSpeed;
  }
  return LocalChange::None;
}

bool ApplyReplyLogCommand(std::string_view command, ReplyLog& log) {
  const char a = CharAt(command, 5);
  const char b = CharAt(command, 6);
  bool on;
  if (a == '+' || b == '+') {
    on = true;
  } else if (a == '-' || b == '-') {
    on = false;
  } else {
    return false;
  }
  const std::string_view kind = command.size() >= 5 ? command.substr(3, 2) : std::string_view();
  bool* flag = kind == "IS"   ? &log.IS
               : kind == "CT" ? &log.CT
               : kind == "RT" ? &log.RT
               : kind == "PT" ? &log.PT
               : kind == "TT" ? &log.TT
               : kind == "HT" ? &log.HT
               : kind == "ER" ? &log.ER
                              : nullptr;
  if (!flag) return false;
  *flag = on;
  return true;
}

SpectrometerCommand ParseSpectrometerCommand(std::string_view command) {
  SpectrometerCommand out;
  switch (CharAt(command, 3)) {
    case 'C':
      out.kind = SpectrometerCommand::Send;
      for (char c : TextFrom(command, 5)) out.text.push_back(Lower(c));
      break;
    case 'W':
      out.kind = SpectrometerCommand::Wavelength;
      out.mode = CharAt(command, 4);
      out.number = std::string(TextFrom(command, 5));
      break;
    case 'Z': out.kind = SpectrometerCommand::Zero; break;
    case 'S':
      out.kind = SpectrometerCommand::RecordSample;
      out.on = CharAt(command, 5) == '+';
      break;
    case 'P':
      out.kind = SpectrometerCommand::RecordProbe;
      out.on = CharAt(command, 5) == '+';
      break;
    default: break;
  }
  return out;
}

}  // namespace vireo
