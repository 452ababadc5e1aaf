// Running a script file: the three checks, the banners, how commands are
// taken from the text, cancel with the ramp stop, the engine reset, the
// start-up script and the work of each run state's tick.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>
#include <unistd.h>

#include "fake_script_host.h"

namespace vireo::testing {
namespace {

using Lines = std::vector<std::string>;

struct ScriptRun : EngineFixture, ::testing::Test {
  // Ticks until the script completes (or `limit` ticks) and returns what was sent.
  Lines RunToEnd(std::string_view body, int limit = 100) {
    Start(body);
    for (int i = 0; i < limit && engine.Started(); ++i) Tick();
    return TakeSent();
  }
};

TEST_F(ScriptRun, HeaderIntervalAndRangeChecks) {
  struct Case {
    const char* text;
    int period;  // 0: refused
    const char* message;
  } cases[] = {
      {"CONTROLLER SCRIPT\r\nINTERVAL = 0.1\r\n", 100, ""},
      {"CONTROLLER SCRIPT\r\nINTERVAL = 5\r\n", 5000, ""},
      {"CONTROLLER SCRIPT\r\nINTERVAL = 0.7\r\n", 700, ""},
      {"Controller Script  v2\ninterval = 2\n", 2000, ""},
      {"\xEF\xBB\xBF" "CONTROLLER SCRIPT\r\nINTERVAL = 1\r\n", 1000, ""},  // saved with a byte-order mark
      {"CONTROLLER SCRIPT\r\nINTERVAL = 0.09\r\n", 0,
       "Zel_SC Script: Interval value (0.090000) is out of range.\n\nAllowed range is 0.1<= i <=5 sec."},
      {"CONTROLLER SCRIPT\r\nINTERVAL = 5.01\r\n", 0,
       "Zel_SC Script: Interval value (5.010000) is out of range.\n\nAllowed range is 0.1<= i <=5 sec."},
      {"CONTROLLER SCRIPT\r\nINTERVAL = fast\r\n", 0,
       "Zel_SC Script: Interval value (0.000000) is out of range.\n\nAllowed range is 0.1<= i <=5 sec."},
      {"CONTROLER SCRIPT\r\nINTERVAL = 1\r\n", 0, "Zel_SC Script: Invalid script header line \n\n'CONTROLER SCRIPT\r'"},
      // The refused line is quoted from its start, wherever line 1 ends.
      {"CONTROLLER SCRIPT v3\nINTERVAL=1\n", 0, "Zel_SC Script: Invalid interval line \n\n'INTERVAL=1'"},
      {"CONTROLLER SCRIPT", 0, "Zel_SC Script: Invalid interval line \n\n''"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    FakeScriptHost host;
    ScriptEngine e(host);
    EXPECT_EQ(e.StartScriptText("s.txt", c.text), c.period != 0);
    EXPECT_EQ(host.timerPeriod, c.period);
    EXPECT_EQ(host.runState, c.period ? kRunScript : kRunIdleTimer);
    EXPECT_EQ(host.runButtonCancels, c.period != 0);
    EXPECT_EQ(host.messages, c.period ? Lines{} : Lines{c.message});
  }
}

TEST_F(ScriptRun, EmptyScriptShowsStartingThenCompletedBanner) {
  ASSERT_TRUE(Start("nothing to do\r\n"));
  Tick();
  EXPECT_EQ(TakeLog(), (Lines{"\r\n-------Starting Script", "test.txt", "  "}));
  Tick();
  EXPECT_EQ(TakeLog(), (Lines{"\r\n-------Script completed", "test.txt", "  "}));
  EXPECT_FALSE(engine.Started());
  EXPECT_EQ(host.runState, kRunIdleTimer);
  EXPECT_EQ(host.timerPeriod, kIdlePeriodMs);
  EXPECT_FALSE(host.runButtonCancels);
  EXPECT_EQ(host.panelHidden, 0);  // the panel was opened by the user
}

TEST_F(ScriptRun, CommandsAsTheyAreTakenFromTheText) {
  struct Case {
    std::string body;
    Lines sent;
  } cases[] = {
      {"[f1 tt s 25.00]\r\n", {"[F1 TT S 25.00]"}},
      // The character after "]" is consumed: a glued command is lost.
      {"[F1 TT ?][F1 TC +]\r\n[F1 SS +]\r\n", {"[F1 TT ?]", "[F1 SS +]"}},
      // A "[" in comment text starts a command.
      {"heat up [soon\r\n[F1 TC +]\r\n", {"[SOON\r\n[F1 TC +]"}},
      // A last command without its "]" is not run.
      {"[F1 TC +]\r\n[F1 TC -\r\n", {"[F1 TC +]"}},
      // A "]" as the very last byte ends the text cleanly.
      {"[F1 TC +]", {"[F1 TC +]"}},
      // A zero byte ends the text.
      {std::string("[F1 TC +]\r\n\0[F1 TC -]", 21), {"[F1 TC +]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    EXPECT_EQ(RunToEnd(c.body), c.sent);
    EXPECT_FALSE(engine.Started());
  }
}

TEST_F(ScriptRun, ShowCommentsShowsCommandsWithTheirCommentInsteadOfEchoes) {
  host.showComments = true;
  RunBanner("[F1 TC +] heating on\r\n  [F1 TC -]\r\n");
  TakeLog();
  Tick(2);
  EXPECT_EQ(TakeSent(), (Lines{"[F1 TC +]", "[F1 TC -]"}));
  EXPECT_EQ(TakeLog(), Lines{"[F1 TC +] heating on"});  // the last command has no comment line
}

TEST_F(ScriptRun, OverlongCommandIsSkippedNotSent) {
  EXPECT_EQ(RunToEnd("[F1 TC +" + std::string(300, ' ') + "]\r\n[F1 TC -]\r\n"), Lines{"[F1 TC -]"});
  EXPECT_NE(std::find(host.log.begin(), host.log.end(), "-------Command of 309 characters skipped"), host.log.end());
}

TEST_F(ScriptRun, CancelStopsTheRampTheScriptStarted) {
  struct Case {
    float firmware;
    const char* model;
    const char* body;
    Lines stop;
  } cases[] = {
      {9.0f, "20", "[F1 RS S 5]", {"  ", "[F1 RS S 0]", "[F1 RT S 0]", "[R1 RS S 0]", "[R1 RT S 0]"}},
      {9.0f, "41", "[F1 RS S 5]", {"  ", "[F1 RS S 0]", "[F1 RT S 0]", "[R1 RS S 0]", "[R1 RT S 0]"}},
      {9.0f, "10", "[F1 RS S 5]", {"  ", "[F1 RS S 0]", "[F1 RT S 0]"}},
      {7.0f, "20", "[F1 RT S 20]", {"  ", "[F1 RR 0]", "[R1 RR 0]"}},
      {9.0f, "20", "[F1 RS S 5]\r\n[F1 RR 0]", {}},  // the script stopped its ramp itself
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    host.controller.FirmwareVersion = c.firmware;
    host.controller.ModelId = c.model;
    RunBanner(std::string(c.body) + "\r\n[*D 100]\r\n");
    Tick(3);
    TakeSent();
    TakeLog();
    engine.Cancel();
    EXPECT_EQ(TakeSent(), c.stop);
    EXPECT_FALSE(host.rampActive);
    EXPECT_EQ(TakeLog()[0], "\r\n-------Script Canceled");
    EXPECT_FALSE(host.delayPanel);
    EXPECT_FALSE(host.runButtonCancels);
    EXPECT_EQ(host.runState, kRunIdleTimer);
    EXPECT_EQ(engine.LoopLevel, -1);
  }
}

TEST_F(ScriptRun, ResetStopsTheScriptSilentlyAndCancelStillEndsIt) {
  RunBanner("[*LS 3]\r\n[F1 TC +]\r\n[*LE]\r\n");
  Tick(2);
  TakeLog();
  TakeSent();
  engine.Reset();
  EXPECT_EQ(host.runState, kRunIdleTimer);
  EXPECT_EQ(host.timerPeriod, kIdlePeriodMs);
  EXPECT_TRUE(engine.Started());
  EXPECT_TRUE(host.runButtonCancels);
  Tick(5);
  EXPECT_TRUE(TakeLog().empty());
  EXPECT_EQ(TakeSent(), Lines{});
  engine.Cancel();
  EXPECT_EQ(TakeLog(), (Lines{"\r\n-------Script Canceled", "test.txt"}));
  EXPECT_FALSE(engine.Started());
}

TEST_F(ScriptRun, StartupScriptBesideTheProgramOrInTheUsersFolder) {
  // Paths longer than 260 characters are ordinary here.
  const auto top = std::filesystem::temp_directory_path() / ("vireo_startup_" + std::to_string(::getpid()));
  const auto program = top / std::string(200, 'd') / std::string(100, 'e');
  const auto config = top / "config";
  std::filesystem::create_directories(program);
  std::filesystem::create_directories(config);
  const std::vector<std::string> folders{program.string(), config.string()};
  host.panelOpen = false;
  host.panelMode = kPanelHidden;
  EXPECT_FALSE(engine.RunStartupScript(folders));  // missing in both: silent
  EXPECT_TRUE(host.messages.empty());
  EXPECT_FALSE(host.panelOpen);
  EXPECT_FALSE(engine.StartScript((program / "none.txt").string(), ScriptOrigin::User));
  EXPECT_EQ(host.messages, Lines{"Zel_SC Script: Failed to open file."});

  // The user's folder serves when the program's has none; the banner names the file that ran.
  std::ofstream(config / kStartupScriptName) << Script("[F1 TC +]\r\n");
  ASSERT_TRUE(engine.RunStartupScript(folders));
  EXPECT_TRUE(host.panelOpen);
  Tick(3);
  EXPECT_EQ(TakeSent(), Lines{"[F1 TC +]"});
  EXPECT_EQ(host.log[1], (config / kStartupScriptName).string());
  EXPECT_EQ(host.panelHidden, 1);  // closed again at completion

  // The program's folder comes first, also when its script is faulty: that is reported, not passed over.
  std::ofstream(program / kStartupScriptName) << "CONTROLLER SCRIPT\r\nINTERVAL = 9\r\n[F1 TC -]\r\n";
  host.messages.clear();
  EXPECT_FALSE(engine.RunStartupScript(folders));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].find("out of range"), std::string::npos);
  std::filesystem::remove_all(top);
}

TEST_F(ScriptRun, TickWorkByRunState) {
  host.runState = kRunProbing;
  Tick(2);
  EXPECT_EQ(TakeSent(), (Lines{"[F1 IS ?]", "[F1 IS ?]"}));
  EXPECT_EQ(TakeLog(), (Lines{"[F1 IS ?]", "[F1 IS ?]"}));
  host.runState = kRunOffline;
  Tick(3);
  EXPECT_EQ(host.simulationSteps, 3);
  // The spectrometer link refresh: every 501 ticks in run states 2 and 11,
  // when its port is open.
  host.runState = kRunIdle;
  Tick(600);
  EXPECT_EQ(host.refreshes, 0);
  host.runState = kRunIdleTimer;
  Tick(500);
  EXPECT_EQ(host.refreshes, 0);
  Tick(1);
  EXPECT_EQ(host.refreshes, 0);  // port closed: only the countdown restarts
  host.spectrometerOpen = true;
  Tick(500);
  EXPECT_EQ(host.refreshes, 0);
  Tick(1);
  EXPECT_EQ(host.refreshes, 1);
  EXPECT_TRUE(host.sent.empty());
}

}  // namespace
}  // namespace vireo::testing
