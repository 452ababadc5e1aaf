#include "scripting/script_checker.h"

#include <algorithm>
#include <iostream>

#include "control/text_helpers.h"
#include "controller/protocol.h"
#include "scripting/script_engine.h"
#include "scripting/script_language.h"

namespace vireo {

namespace {

class Checker {
 public:
  explicit Checker(std::string_view text) : text_(text) {}

  std::vector<ScriptProblem> Run() {
    // Line numbers come from one pass over the text: a file full of problems
    // is checked in time proportional to its length.
    for (std::size_t pos = text_.find('\n'); pos != std::string_view::npos; pos = text_.find('\n', pos + 1)) {
      lineEnds_.push_back(pos);
    }
    const std::size_t zero = text_.find('\0');
    if (zero != std::string_view::npos) Report(zero, "a zero byte ends the script here");
    text_ = ScriptTextOf(text_);
    CheckHeader();
    std::size_t cursor = 0;
    while (const auto found = NextCommand(text_, cursor)) {
      if (found->close == std::string_view::npos) {
        Report(found->open, "command without its closing \"]\": the script ends here");
        break;
      }
      if (found->close + 1 < text_.size() && text_[found->close + 1] == '[') {
        Report(found->close + 1, "no character between two commands: the second one is lost");
      }
      if (text_.substr(found->open + 1, found->close - found->open).find('[') != std::string_view::npos) {
        Report(found->open, "a \"[\" inside this command: its \"]\" is missing and the next command becomes part of it");
      }
      cursor = found->next;
      CheckCommand(found->open, InterpretedCommand(text_.substr(found->open, found->close + 1 - found->open)));
    }
    for (std::size_t open : openLoops_) Report(open, "loop still open at the end of the script: [*LE] missing");
    std::stable_sort(problems_.begin(), problems_.end(),
                     [](const ScriptProblem& a, const ScriptProblem& b) { return a.line < b.line; });
    return problems_;
  }

 private:
  void Report(std::size_t pos, std::string message) {
    const auto before = std::lower_bound(lineEnds_.begin(), lineEnds_.end(), pos);
    problems_.push_back({static_cast<std::size_t>(before - lineEnds_.begin()) + 1, std::move(message)});
  }
  void ReportLine(std::size_t line, std::string message) { problems_.push_back({line, std::move(message)}); }

  void CheckHeader() {
    const ScriptHeader header = CheckScriptHeader(text_);
    switch (header.fault) {
      case ScriptHeaderFault::HeaderLine:
        return ReportLine(1, "the first line must be \"CONTROLLER SCRIPT\"");
      case ScriptHeaderFault::IntervalLine:
        return ReportLine(2, "the second line must begin with \"INTERVAL = \" and the interval in seconds");
      case ScriptHeaderFault::IntervalRange:
        return ReportLine(2, Format("interval %g s is out of range: allowed are 0.1 to 5 s",
                                    static_cast<double>(header.interval)));
      case ScriptHeaderFault::None:
        return;
    }
  }

  void CheckCommand(std::size_t open, const std::string& command) {
    if (TooLong(command)) {
      return Report(open, Format("command of %zu characters, longer than the program sends (at most %zu): it is skipped",
                                 command.size(), IsScriptCommand(command) ? kMaxScriptCommand : kMaxControllerCommand));
    }
    if (!IsScriptCommand(command)) return CheckControllerCommand(open, command);
    using K = ScriptCommandKind;
    switch (RecogniseScriptCommand(command)) {
      case K::Unrecognised:
        return Report(open, "unknown script command " + command);
      case K::OtherWait:
        if (HasAt(command, 2, "WT")) {
          return Report(open, command + ": [*WT n] needs a blank and a number; as written it has no effect");
        }
        return Report(open, "unknown wait " + command + ": it has no effect");
      case K::ReadingBeep: {
        const char holder = CharAt(command, 3);
        if (SwitchSign(command) == 0 || (holder != 'C' && holder != 'R' && holder != 'P')) {
          Report(open, command + " changes no switch: [*BCT+], [*BRT+] or [*BPT+] (or \"-\") expected");
        }
        return;
      }
      case K::ReplyLogSwitch:
        if (SwitchSign(command) == 0 || ReplyLogKind(command) == ReplyKind::None) {
          Report(open, command + " does nothing: a kind (IS, CT, RT, PT, HT, TT, ER) and \"+\" or \"-\" expected");
        }
        return;
      case K::StableWait:
        if (!CommandCount(command)) Report(open, "[*WT] without a number: the script stops on it with a message");
        return;
      case K::ConditionWait:
        if (!ReadCondition(command)) {
          Report(open, command + " lacks \">=\" or \"<=\" and a number: the script stops on it with a message");
        }
        return;
      case K::LoopStart: {
        const int count = CommandCount(command).value_or(0);
        if (count < 1) Report(open, command + ": a count below 1 (or none) runs the body once");
        if (openLoops_.size() >= static_cast<std::size_t>(kLoopLevels)) {
          Report(open, "more than nine nested loops: this one is not opened, its body runs once");
        }
        openLoops_.push_back(open);
        return;
      }
      case K::Delay:
        if (!CommandCount(command)) Report(open, command + " without a number: it waits no time");
        return;
      case K::Restart:
        if (!openLoops_.empty()) {
          Report(open, "[*R] inside an open loop: each restart opens one more loop level until nine are open; "
                       "close the loop with [*LE] before [*R]");
        }
        return;
      case K::Message:
        if (CharAt(command, 5) != ' ' || CharAt(command, 7) != ' ') {
          Report(open, command + ": the message is shown from the ninth character on and beeps only with \"+\" "
                                 "as the sixth; write [*MSG + text] (beeps) or [*MSG - text]");
        }
        return;
      case K::TargetStep:
        if (!ReadFloatAt(command, 4)) {
          Report(open, command + " without a number: the target is sent unchanged; write, for example, [*TT+5]");
        }
        return;
      case K::SampleRecording:
      case K::ProbeRecording:
        if (CharAt(command, 4) != ' ' || (CharAt(command, 5) != '+' && CharAt(command, 5) != '-')) {
          Report(open, command + ": the switch reads its sign after one blank, as in " + command.substr(0, 4) +
                           " +]; as written it switches " +
                           (CharAt(command, 3) == 'S' ? "sample" : "probe") + " recording off");
        }
        return;
      case K::LoopEnd:
        if (openLoops_.empty()) {
          Report(open, "[*LE] with no open loop");
        } else {
          openLoops_.pop_back();
        }
        return;
      default:
        return;
    }
  }

  void CheckControllerCommand(std::size_t open, const std::string& command) {
    const bool addressed =
        (AddressIs(command, kSampleAddress) || AddressIs(command, kReferenceAddress) ||
         AddressIs(command, kChangerAddress)) &&
        CharAt(command, 3) == ' ';
    if (!addressed) {
      Report(open, command + " is sent to the controller but has no F1, R1 or F2 address (a \"[\" in a comment?)");
    }
  }

  std::string_view text_;
  std::vector<std::size_t> lineEnds_;  // positions of every "\n"
  std::vector<ScriptProblem> problems_;
  std::vector<std::size_t> openLoops_;
};

}  // namespace

std::vector<ScriptProblem> CheckScript(std::string_view text) { return Checker(text).Run(); }

std::string ProblemLine(std::string_view file, const ScriptProblem& problem) {
  std::string line(file);
  line.append(":").append(std::to_string(problem.line)).append(": ").append(problem.message);
  return line;
}

int CheckScriptFile(const std::string& path, std::ostream& out, std::ostream& err) {
  const std::optional<std::string> text = ReadScriptFile(path);
  if (!text) {
    err << "vireo: cannot read " << path << '\n';
    return 2;
  }
  const auto problems = CheckScript(*text);
  for (const ScriptProblem& p : problems) out << ProblemLine(path, p) << '\n';
  return problems.empty() ? 0 : 1;
}

int RunCheckScript(const std::string& path) { return CheckScriptFile(path, std::cout, std::cerr); }

}  // namespace vireo
