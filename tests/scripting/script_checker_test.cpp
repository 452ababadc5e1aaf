// The script checker on broken scripts of every kind it reports, and
// "vireo --check-script" as a user runs it: its output form and exit codes.
#include "scripting/script_checker.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <utility>
#include <unistd.h>

namespace vireo {
namespace {

constexpr const char* kHead = "CONTROLLER SCRIPT\r\nINTERVAL = 1\r\n";

std::vector<std::string> Problems(std::string_view text) {
  std::vector<std::string> shown;
  for (const ScriptProblem& p : CheckScript(text)) shown.push_back(std::to_string(p.line) + ": " + p.message);
  return shown;
}

TEST(ScriptChecker, ReportsEveryKindOfProblemOnItsLine) {
  const auto repeat = [](std::string_view line, int n) {
    std::string lines;
    for (int i = 0; i < n; ++i) lines += line;
    return lines;
  };
  struct Case {
    std::string text;
    std::vector<std::string> problems;
  } cases[] = {
      {"CONTROLER SCRIPT\r\nINTERVAL = 1\r\n", {"1: the first line must be \"CONTROLLER SCRIPT\""}},
      {"CONTROLLER SCRIPT\r\nINTERVAL: 1\r\n",
       {"2: the second line must begin with \"INTERVAL = \" and the interval in seconds"}},
      {"CONTROLLER SCRIPT\r\nINTERVAL = 0.05\r\n", {"2: interval 0.05 s is out of range: allowed are 0.1 to 5 s"}},
      {std::string(kHead) + "[F1 TC +]\r\n[F1 TC -\r\n", {"4: command without its closing \"]\": the script ends here"}},
      {std::string(kHead) + "[*D 5\r\n[F1 TC -]\r\n",
       {"3: a \"[\" inside this command: its \"]\" is missing and the next command becomes part of it"}},
      {std::string(kHead) + "[*D 5][F1 TT ?]\r\n", {"3: no character between two commands: the second one is lost"}},
      {std::string(kHead) + "[*XYZ]\r\n[*PL 3]\r\n", {"3: unknown script command [*XYZ]", "4: unknown script command [*PL 3]"}},
      {std::string(kHead) + "[*WT5]\r\n[*WX]\r\n",
       {"3: [*WT5]: [*WT n] needs a blank and a number; as written it has no effect",
        "4: unknown wait [*WX]: it has no effect"}},
      {std::string(kHead) + "[*WT ]\r\n", {"3: [*WT] without a number: the script stops on it with a message"}},
      {std::string(kHead) + "[*WCT=25]\r\n[*WPT<=]\r\n",
       {"3: [*WCT=25] lacks \">=\" or \"<=\" and a number: the script stops on it with a message",
        "4: [*WPT<=] lacks \">=\" or \"<=\" and a number: the script stops on it with a message"}},
      {std::string(kHead) + "[*LXX+]\r\n[*BCT]\r\n",
       {"3: [*LXX+] does nothing: a kind (IS, CT, RT, PT, HT, TT, ER) and \"+\" or \"-\" expected",
        "4: [*BCT] changes no switch: [*BCT+], [*BRT+] or [*BPT+] (or \"-\") expected"}},
      {std::string(kHead) + "[*LE]\r\n", {"3: [*LE] with no open loop"}},
      {std::string(kHead) + "[*LS 0]\r\n[*LE]\r\n[*LS]\r\n[*LE]\r\n",
       {"3: [*LS 0]: a count below 1 (or none) runs the body once",
        "5: [*LS]: a count below 1 (or none) runs the body once"}},
      {std::string(kHead) + "[*D5]\r\n", {"3: [*D5] without a number: it waits no time"}},
      {std::string(kHead) + "[*LS 2]\r\n[*LS 3]\r\n[*LE]\r\n",
       {"3: loop still open at the end of the script: [*LE] missing"}},
      {kHead + repeat("[*LS 2]\n", 10) + "[*P]\n" + repeat("[*LE]\n", 10),
       {"12: more than nine nested loops: this one is not opened, its body runs once"}},
      {kHead + repeat("[*LS 2]\n", 11) + "[*P]\n" + repeat("[*LE]\n", 11),
       {"12: more than nine nested loops: this one is not opened, its body runs once",
        "13: more than nine nested loops: this one is not opened, its body runs once"}},
      {std::string(kHead) + "set the target [soon]\r\n",
       {"3: [SOON] is sent to the controller but has no F1, R1 or F2 address (a \"[\" in a comment?)"}},
      {std::string(kHead) + "[F1 TC +" + std::string(200, ' ') + "]\r\n",
       {"3: command of 209 characters, longer than the program sends (at most 199): it is skipped"}},
      {std::string(kHead) + std::string("[F1 TC +]\r\n\0[F1 TC -]\r\n", 24), {"4: a zero byte ends the script here"}},
      // Forms the engine runs otherwise than the writer meant.
      {std::string(kHead) + "[*SS+]\r\n[*SP-]\r\n[*SS  +]\r\n[*SS +]\r\n[*SP -]\r\n",
       {"3: [*SS+]: the switch reads its sign after one blank, as in [*SS +]; as written it switches sample "
        "recording off",
        "4: [*SP-]: the switch reads its sign after one blank, as in [*SP +]; as written it switches probe "
        "recording off",
        "5: [*SS  +]: the switch reads its sign after one blank, as in [*SS +]; as written it switches sample "
        "recording off"}},
      {std::string(kHead) + "[*MSG+ Insert sample]\r\n[*MSG Insert]\r\n[*MSG - Fine]\r\n",
       {"3: [*MSG+ Insert sample]: the message is shown from the ninth character on and beeps only with \"+\" "
        "as the sixth; write [*MSG + text] (beeps) or [*MSG - text]",
        "4: [*MSG Insert]: the message is shown from the ninth character on and beeps only with \"+\" as the "
        "sixth; write [*MSG + text] (beeps) or [*MSG - text]"}},
      {std::string(kHead) + "[*R]\r\n[*LS 2]\r\n[*R]\r\n[*LE]\r\n",
       {"5: [*R] inside an open loop: each restart opens one more loop level until nine are open; close the "
        "loop with [*LE] before [*R]"}},
      {std::string(kHead) + "[*TT+]\r\n[*TT-]\r\n[*TT-2.5]\r\n",
       {"3: [*TT+] without a number: the target is sent unchanged; write, for example, [*TT+5]",
        "4: [*TT-] without a number: the target is sent unchanged; write, for example, [*TT+5]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Problems(c.text), c.problems);
  }
}

TEST(ScriptChecker, AcceptsAMeltScriptWithEveryCommand) {
  const std::string melt = std::string(kHead) +
                           "Melt from 20 to 90 in 5-degree steps, four cuvettes\r\n"
                           "[*LCT+]\r\n[*BCT-]\r\n[*CTD]\r\n[F1 TT S 20.00]\r\n[F1 TC +]\r\n[*WT 10]\r\n"
                           "[*SW 260]\r\n[*SZ]\r\n[*SS +]\r\n[*SP -]\r\n[*SC d]\r\n"
                           "[*LS 14]\r\n  [*TT+5]\r\n  [*WCT>=24.5]\r\n  [*WRP<=95]\r\n  [*LS 4]\r\n"
                           "    [*PL+]\r\n    [*WPL]\r\n    [*D 30]\r\n  [*LE]\r\n  [*P]\r\n[*LE]\r\n"
                           "[*MSG + Melt finished: remove the samples]\r\n[F1 TC -]\r\n[*R]\r\n";
  EXPECT_EQ(Problems(melt), std::vector<std::string>{});
}

// The built program, as a user runs it from a terminal.
TEST(CheckScriptOption, PrintsFileLineMessageAndExitsByOutcome) {
  const auto dir = std::filesystem::temp_directory_path() / ("vireo_check_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string good = (dir / "good.txt").string(), bad = (dir / "bad.txt").string();
  std::ofstream(good) << kHead << "[F1 TC +]\r\n";
  std::ofstream(bad) << kHead << "[*LE]\r\n[*WT ]\r\n";
  const char* build = std::getenv("VIREO_BUILD_DIR");  // set by ctest
  ASSERT_NE(build, nullptr);
  const std::string program = std::string(build) + "/vireo";
  struct Case {
    std::string file;
    int exitCode;
    std::string output;
  } cases[] = {
      {good, 0, ""},
      {bad, 1,
       bad + ":3: [*LE] with no open loop\n" + bad + ":4: [*WT] without a number: the script stops on it with a message\n"},
      {(dir / "missing.txt").string(), 2, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    FILE* pipe = ::popen((program + " --check-script '" + c.file + "' 2>/dev/null").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    std::array<char, 256> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe)) output += chunk.data();
    const int status = ::pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(status), c.exitCode);
    EXPECT_EQ(output, c.output);
  }
  std::filesystem::remove_all(dir);
}

// The example scripts of the manual, as a reader copies them: every <pre>
// block that is a script, with the page's character references resolved and
// CR LF line ends.
std::vector<std::string> ManualExampleScripts() {
  std::ifstream page(VIREO_MANUAL, std::ios::binary);
  const std::string html((std::istreambuf_iterator<char>(page)), std::istreambuf_iterator<char>());
  static const std::pair<std::string_view, std::string_view> kReferences[] = {
      {"&deg;", "\xB0"}, {"&gt;", ">"}, {"&lt;", "<"}, {"&hellip;", "..."}, {"&amp;", "&"}};
  std::vector<std::string> scripts;
  for (std::size_t open = html.find("<pre>"); open != std::string::npos; open = html.find("<pre>", open + 1)) {
    const std::size_t close = html.find("</pre>", open);
    std::string block = html.substr(open + 5, close - open - 5);
    if (!block.starts_with("CONTROLLER SCRIPT")) continue;
    std::string script;
    for (std::size_t i = 0; i < block.size(); ++i) {
      if (block[i] == '\n') {
        script += "\r\n";
        continue;
      }
      bool replaced = false;
      for (const auto& [reference, character] : kReferences) {
        if (block.compare(i, reference.size(), reference) == 0) {
          script += character;
          i += reference.size() - 1;
          replaced = true;
          break;
        }
      }
      if (!replaced) script += block[i];
    }
    scripts.push_back(script + "\r\n");
  }
  return scripts;
}

TEST(CheckScriptOption, PassesEveryExampleScriptOfTheManual) {
  const std::vector<std::string> scripts = ManualExampleScripts();
  ASSERT_FALSE(scripts.empty());
  const auto dir = std::filesystem::temp_directory_path() / ("vireo_examples_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const char* build = std::getenv("VIREO_BUILD_DIR");
  ASSERT_NE(build, nullptr);
  for (std::size_t i = 0; i < scripts.size(); ++i) {
    const std::string& script = scripts[i];
    SCOPED_TRACE(script);
    const std::string file = (dir / ("example" + std::to_string(i) + ".txt")).string();
    std::ofstream(file, std::ios::binary) << script;
    FILE* pipe = ::popen((std::string(build) + "/vireo --check-script '" + file + "' 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    std::array<char, 256> chunk{};
    while (std::fgets(chunk.data(), chunk.size(), pipe)) output += chunk.data();
    EXPECT_EQ(WEXITSTATUS(::pclose(pipe)), 0);
    EXPECT_EQ(output, "");
    // A script that heats ends the heating before it waits for the operator:
    // nobody may be there to press OK for hours.
    const std::size_t message = script.rfind("[*MSG");
    if (script.find("[F1 TC +]") != std::string::npos && message != std::string::npos) {
      const std::size_t off = script.rfind("[F1 TC -]");
      EXPECT_TRUE(off != std::string::npos && off < message) << "control is still on at the last operator message";
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vireo
