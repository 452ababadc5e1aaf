#pragma once
// The script file language, shared by the engine that runs scripts and the
// checker that reads them beforehand: both use these routines, so they can
// never disagree on what a command is.
//
// A script file: line 1 "CONTROLLER SCRIPT", line 2 "INTERVAL = " and a
// number of seconds (0.1 to 5), then commands from "[" to the next "]"; all
// other text is comment. The character after a "]" is consumed unseen.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vireo {

// ---- File format -----------------------------------------------------------

enum class ScriptHeaderFault { None, HeaderLine, IntervalLine, IntervalRange };

struct ScriptHeader {
  ScriptHeaderFault fault = ScriptHeaderFault::None;
  float interval = 0.0f;       // seconds, as read (also when out of range)
  std::string shownText;       // the header or interval text a message quotes
};

// A script file's bytes; none when it cannot be read (missing, a folder, an I/O error).
std::optional<std::string> ReadScriptFile(const std::string& path);
// The name a script is shown by: its path after the last separator.
std::string ScriptDisplayName(const std::string& path);

// The text a script file holds: up to its first zero byte, without the
// byte-order mark some editors put before "CONTROLLER SCRIPT".
std::string_view ScriptTextOf(std::string_view file);

// The three checks a script must pass before it runs, in their order.
ScriptHeader CheckScriptHeader(std::string_view text);

// Timer1's period for an interval: 1000 x seconds, truncated.
int IntervalMilliseconds(float seconds);

// ---- Taking commands from the text -----------------------------------------

// The longest commands the engine carries out, from "[" to "]": a controller
// command as long as the command box takes, a script command long enough for
// a 255-character operator message.
inline constexpr std::size_t kMaxControllerCommand = 199;
inline constexpr std::size_t kMaxScriptCommand = 264;
inline constexpr std::size_t kMaxMessageText = 255;

struct ScannedCommand {
  std::size_t open = 0;    // position of its "["
  std::size_t close = std::string_view::npos;  // position of its "]", npos when missing
  std::size_t next = 0;    // where the search for the next command goes on
};

// The next command at or after `from`; nothing when no "[" is left.
std::optional<ScannedCommand> NextCommand(std::string_view text, std::size_t from);

// The command as it is interpreted: upper case, except an operator message.
std::string InterpretedCommand(std::string_view raw);

bool IsScriptCommand(std::string_view command);  // "[*..."
bool TooLong(std::string_view command);
// A controller command that starts or stops a ramp rate (RT, RS, RR of F1 or
// R1); it leaves a ramp in force when it carries an argument.
bool IsRampCommand(std::string_view command);

// ---- Script commands --------------------------------------------------------

// One kind per row of the command table, tested in the table's order on the
// upper-cased command.
enum class ScriptCommandKind {
  ReadingBeep,      // [*BCT+] [*BRT-] [*BPT +]
  Delay,            // [*D n]
  LoopStart,        // [*LS n]
  LoopEnd,          // [*LE]
  Redraw,           // [*P]
  Restart,          // [*R]
  PositionWait,     // [*WPL]
  StableWait,       // [*WT n]
  ConditionWait,    // [*WCT>=x] [*WRT<=x] [*WPT..] [*WTT..] [*WRP..]
  OtherWait,        // any other [*W...]: no effect
  ReplyLogSwitch,   // [*LCT+] [*LER-] ...
  ClearData,        // [*CTD]
  Message,          // [*MSG + text]
  PositionStep,     // [*PL+] [*PL-]
  TargetStep,       // [*TT+x] [*TT-x]
  SpectrometerText, // [*SC text]
  Wavelength,       // [*SW x] [*SW+x] [*SW-x]
  ZeroAbsorbance,   // [*SZ]
  SampleRecording,  // [*SS +]
  ProbeRecording,   // [*SP +]
  Unrecognised,
};

ScriptCommandKind RecogniseScriptCommand(std::string_view command);

// The sign of a switch command at position 5 or 6: +1, -1, or 0 when none
// ("+" is looked for first).
int SwitchSign(std::string_view command);

// The reply-log switch a [*Lxx] command names (IS, CT, RT, PT, HT, TT, ER).
enum class ReplyKind { None, IS, CT, RT, PT, HT, TT, ER };
ReplyKind ReplyLogKind(std::string_view command);

// [*LS n] and [*WT n]: the integer from position 4.
std::optional<int> CommandCount(std::string_view command);

// A condition wait's parts; nothing when the operator or number is missing.
struct Condition {
  int kind = 0;  // 1 sample, 2 reference, 3 probe temperature, 4 sample target
  int sign = 0;  // +1 ">=", -1 "<="
  float target = 0.0f;
};
std::optional<Condition> ReadCondition(std::string_view command);

}  // namespace vireo
