#include "scripting/script_language.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "controller/protocol.h"

namespace vireo {

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (Upper(text[i]) != Upper(prefix[i])) return false;
  }
  return true;
}

// Up to ten characters of line 2, without its line end: what a refused
// interval line is quoted as.
std::string QuotedLine(std::string_view line) {
  std::string shown;
  for (char c : line.substr(0, 10)) {
    if (c == '\r' || c == '\n') break;
    shown += c;
  }
  return shown;
}

}  // namespace

std::optional<std::string> ReadScriptFile(const std::string& path) {
  std::error_code ignored;
  std::ifstream file(path, std::ios::binary);
  if (!file || std::filesystem::is_directory(path, ignored)) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) return std::nullopt;
  return text;
}

std::string ScriptDisplayName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string_view ScriptTextOf(std::string_view file) {
  std::string_view text = file.substr(0, file.find('\0'));
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return text;
}

ScriptHeader CheckScriptHeader(std::string_view text) {
  ScriptHeader header;
  if (!StartsWithNoCase(text, "CONTROLLER SCRIPT")) {
    header.fault = ScriptHeaderFault::HeaderLine;
    header.shownText = std::string(text.substr(0, 17));
    return header;
  }
  const std::size_t lineFeed = text.find('\n');
  const std::string_view line2 =
      lineFeed == std::string_view::npos ? std::string_view() : text.substr(lineFeed + 1);
  // Line 2 is the line after the first line feed, wherever line 1 ends.
  if (lineFeed == std::string_view::npos || !StartsWithNoCase(line2, "INTERVAL = ")) {
    header.fault = ScriptHeaderFault::IntervalLine;
    header.shownText = QuotedLine(line2);
    return header;
  }
  header.interval = ParseLeadingFloat(TextFrom(line2, line2.find('=') + 1)).value_or(0.0f);
  if (!(header.interval >= 0.1f && header.interval <= 5.0f)) header.fault = ScriptHeaderFault::IntervalRange;
  return header;
}

int IntervalMilliseconds(float seconds) { return static_cast<int>(1000.0f * seconds); }

std::optional<ScannedCommand> NextCommand(std::string_view text, std::size_t from) {
  const std::size_t open = text.find('[', from);
  if (open == std::string_view::npos) return std::nullopt;
  ScannedCommand command;
  command.open = open;
  command.close = text.find(']', open + 1);
  // The character after "]" is the command's terminator; a "]" at the very
  // end of the text leaves nothing to consume.
  command.next = command.close == std::string_view::npos ? text.size() : std::min(command.close + 2, text.size());
  return command;
}

std::string InterpretedCommand(std::string_view raw) {
  std::string command(raw);
  if (command.starts_with("[*MSG")) return command;
  for (char& c : command) c = Upper(c);
  return command;
}

bool IsScriptCommand(std::string_view command) { return CharAt(command, 1) == '*'; }

bool TooLong(std::string_view command) {
  return command.size() > (IsScriptCommand(command) ? kMaxScriptCommand : kMaxControllerCommand);
}

bool IsRampCommand(std::string_view command) {
  const char code = CharAt(command, 5);
  return CharAt(command, 2) == '1' && CharAt(command, 4) == 'R' && (code == 'T' || code == 'S' || code == 'R');
}

ScriptCommandKind RecogniseScriptCommand(std::string_view c) {
  using K = ScriptCommandKind;
  const char p2 = CharAt(c, 2), p3 = CharAt(c, 3), p4 = CharAt(c, 4);
  if (p2 == 'B' && p4 == 'T') return K::ReadingBeep;
  if (p2 == 'D') return K::Delay;
  if (HasAt(c, 2, "LS")) return K::LoopStart;
  if (HasAt(c, 2, "LE") && p4 != 'R') return K::LoopEnd;
  if (p2 == 'P' && p3 == ']') return K::Redraw;
  if (p2 == 'R') return K::Restart;
  if (HasAt(c, 2, "WPL")) return K::PositionWait;
  if (HasAt(c, 2, "WT ")) return K::StableWait;
  if (p2 == 'W') {
    for (std::string_view watched : {"CT", "RT", "PT", "TT", "RP"}) {
      if (HasAt(c, 3, watched)) return K::ConditionWait;
    }
    return K::OtherWait;
  }
  if (p2 == 'L') return K::ReplyLogSwitch;
  if (HasAt(c, 2, "CTD")) return K::ClearData;
  if (HasAt(c, 2, "MSG")) return K::Message;
  if (HasAt(c, 2, "PL") && (p4 == '+' || p4 == '-')) return K::PositionStep;
  if (HasAt(c, 2, "TT") && (p4 == '+' || p4 == '-')) return K::TargetStep;
  if (HasAt(c, 2, "SC")) return K::SpectrometerText;
  if (HasAt(c, 2, "SW")) return K::Wavelength;
  if (HasAt(c, 2, "SZ")) return K::ZeroAbsorbance;
  if (HasAt(c, 2, "SS")) return K::SampleRecording;
  if (HasAt(c, 2, "SP")) return K::ProbeRecording;
  return K::Unrecognised;
}

int SwitchSign(std::string_view command) {
  if (CharAt(command, 5) == '+' || CharAt(command, 6) == '+') return 1;
  if (CharAt(command, 5) == '-' || CharAt(command, 6) == '-') return -1;
  return 0;
}

ReplyKind ReplyLogKind(std::string_view command) {
  static constexpr struct {
    std::string_view name;
    ReplyKind kind;
  } kKinds[] = {{"IS", ReplyKind::IS}, {"CT", ReplyKind::CT}, {"RT", ReplyKind::RT}, {"PT", ReplyKind::PT},
                {"HT", ReplyKind::HT}, {"TT", ReplyKind::TT}, {"ER", ReplyKind::ER}};
  for (const auto& k : kKinds) {
    if (HasAt(command, 3, k.name)) return k.kind;
  }
  return ReplyKind::None;
}

std::optional<int> CommandCount(std::string_view command) { return ReadIntAt(command, 4); }

std::optional<Condition> ReadCondition(std::string_view command) {
  Condition condition;
  static constexpr std::string_view kWatched[] = {"CT", "RT", "PT", "TT", "RP"};
  for (int i = 0; i < 5; ++i) {
    if (HasAt(command, 3, kWatched[i])) condition.kind = i < 4 ? i + 1 : 4;
  }
  if (HasAt(command, 5, ">=")) condition.sign = 1;
  else if (HasAt(command, 5, "<=")) condition.sign = -1;
  const auto target = ReadFloatAt(command, 7);
  if (condition.kind == 0 || condition.sign == 0 || !target) return std::nullopt;
  condition.target = *target;
  return condition;
}

}  // namespace vireo
