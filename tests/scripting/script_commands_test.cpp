// Script commands tick by tick: the waits with "End Wait", the loops with
// their display lines and "Cancel Loop", the switches, the changer and
// target steps, the operator message and the spectrometer steps.
#include <gtest/gtest.h>

#include "fake_script_host.h"

namespace vireo::testing {
namespace {

using Lines = std::vector<std::string>;

struct Commands : EngineFixture, ::testing::Test {
  // Starts `body` and runs the banner tick and its first command.
  void RunFirst(std::string_view body) {
    RunBanner(body);
    Tick();
  }
  // The display lines between the banners of a script run to its end.
  Lines LinesOf(std::string_view body, int limit = 2000) {
    Start(body);
    for (int i = 0; i < limit && engine.Started(); ++i) Tick();
    Lines lines = TakeLog();
    return Lines(lines.begin() + 3, lines.end() - 3);
  }
};

TEST_F(Commands, DelayRunsTheNextCommandFourTicksLater) {
  RunFirst("[*D 3]\r\n[F1 TC +]\r\n");
  EXPECT_TRUE(host.delayPanel);
  EXPECT_EQ(host.delayLabel, "Wait for Delay");
  EXPECT_EQ(host.delayDisplay, "      3");
  for (const char* shown : {"      2", "      1", "      0"}) {
    Tick();
    EXPECT_EQ(host.delayDisplay, shown);
  }
  EXPECT_FALSE(host.delayPanel);
  EXPECT_TRUE(host.sent.empty());
  Tick();
  EXPECT_EQ(TakeSent(), Lines{"[F1 TC +]"});
}

TEST_F(Commands, DelayOfZeroGoesOnAtOnceAndLeavesThePanelShown) {
  RunFirst("[*D 0]\r\n[F1 TC +]\r\n");
  Tick();
  EXPECT_EQ(TakeSent(), Lines{"[F1 TC +]"});
  EXPECT_TRUE(host.delayPanel);
  EXPECT_EQ(host.delayDisplay, "      0");
}

TEST_F(Commands, ConditionWaitsAndTheirThresholds) {
  struct Case {
    const char* command;
    float ControllerState::*watched;
    float value;
    bool met;
    const char* shown;
  } cases[] = {
      {"[*WCT>=25]", &ControllerState::SampleTemperature, 24.999f, true, "CT >= 25.00"},
      {"[*WCT>=25]", &ControllerState::SampleTemperature, 24.998f, false, "CT >= 25.00"},
      {"[*WCT<=25]", &ControllerState::SampleTemperature, 25.001f, true, "CT <= 25.00"},
      {"[*WCT<=25]", &ControllerState::SampleTemperature, 25.002f, false, "CT <= 25.00"},
      {"[*WRT>=30.5]", &ControllerState::ReferenceTemperature, 30.5f, true, "RT >= 30.50"},
      {"[*WPT<=-5]", &ControllerState::ProbeTemperature, -4.0f, false, "PT <= -5.00"},
      {"[*WRP>=40]", &ControllerState::SampleTarget, 40.0f, true, "TT >= 40.00"},
      {"[*WTT>=40]", &ControllerState::SampleTarget, 39.9f, false, "TT >= 40.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.command) + " at " + std::to_string(c.value));
    host.controller = ControllerState{};
    RunFirst(std::string(c.command) + "\r\n[F1 TC +]\r\n");
    EXPECT_EQ(host.delayLabel, "Waiting for");
    EXPECT_EQ(host.delayDisplay, "Initialize");
    host.controller.*c.watched = c.value;
    Tick();
    EXPECT_EQ(host.delayDisplay, c.shown);
    EXPECT_EQ(host.delayPanel, !c.met);
    Tick();
    EXPECT_EQ(TakeSent(), c.met ? Lines{"[F1 TC +]"} : Lines{});
    Stop();
  }
}

TEST_F(Commands, MalformedWaitsShowTheirMessageAndAreSkipped) {
  const char* stable = "Zel_SC Script: [*WT parameter error";
  const char* condition =
      "Zel_SC Script error: Wait command format error:   allowed forms are \n[*WT #], [*WCT>=#], "
      "[*WCT<=#], [*WPT>=#], [*WPT<=#], [*WTT>=#] or [*WTT<=#]";
  struct Case {
    const char* command;
    const char* message;
  } cases[] = {{"[*WT ]", stable}, {"[*WT x]", stable}, {"[*WCT=25]", condition}, {"[*WCT>=]", condition}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    host.messages.clear();
    bool heldWhileOpen = false;
    host.whileMessage = [&] { heldWhileOpen = engine.MessageOnScreen; };
    RunFirst(std::string(c.command) + "\r\n[F1 TC +]\r\n");
    EXPECT_EQ(host.messages, Lines{c.message});
    EXPECT_TRUE(heldWhileOpen);
    EXPECT_FALSE(engine.MessageOnScreen);
    Tick();
    EXPECT_EQ(TakeSent(), Lines{"[F1 TC +]"});
    Stop();
  }
}

TEST_F(Commands, StableWaitQueriesBothHoldersOfATwoHolderController) {
  host.controller.ModelId = "20";
  RunFirst("[*WT 5]\r\n[F1 TC +]\r\n");
  EXPECT_EQ(TakeSent(), Lines{"[F1 IS ?]"});
  EXPECT_EQ(host.delayDisplay, "Wait 0.5");
  const Lines both{"[F1 IS ?]", "[R1 IS ?]"};
  Tick();
  EXPECT_EQ(TakeSent(), both);
  for (const char* shown : {"Wait 0(5)", "Wait 0(4)", "Wait 0(3)", "Wait 0(2)", "Wait 0(1)"}) {
    Tick();
    EXPECT_EQ(host.delayDisplay, shown);
  }
  EXPECT_TRUE(TakeSent().empty());
  Tick();
  EXPECT_EQ(TakeSent(), both);
  Tick();
  EXPECT_EQ(host.delayDisplay, "Wait 1(5)");
  host.controller.SampleStable = true;
  Tick();
  EXPECT_TRUE(host.delayPanel);  // the reference holder is not stable yet
  host.controller.ReferenceStable = true;
  Tick();
  EXPECT_FALSE(host.delayPanel);
  Tick();
  EXPECT_EQ(TakeSent(), Lines{"[F1 TC +]"});
}

TEST_F(Commands, StableWaitOnAOneHolderControllerAwaitsTheSampleHolder) {
  host.controller.ModelId = "10";
  RunFirst("[*WT 1]\r\n[F1 TC +]\r\n");
  EXPECT_EQ(host.delayDisplay, "Waiting");
  Tick();
  EXPECT_EQ(TakeSent(), Lines{"[F1 IS ?]"});
  host.controller.SampleStable = true;
  Tick(2);
  EXPECT_EQ(TakeSent(), Lines{"[F1 TC +]"});
}

TEST_F(Commands, EndWaitRunsTheNextCommandOnTheNextTick) {
  for (const char* wait : {"[*D 100]", "[*WT 3]", "[*WCT>=99]", "[*WPL]"}) {
    SCOPED_TRACE(wait);
    host.controller.PositionSettled = false;
    RunFirst(std::string(wait) + "\r\n[F1 TC +]\r\n");
    Tick(2);
    TakeSent();
    TakeLog();
    engine.EndWait();
    EXPECT_EQ(TakeLog(), Lines{"-------Wait canceled"});
    Tick();
    EXPECT_EQ(TakeSent(), Lines{"[F1 TC +]"});
    EXPECT_FALSE(host.delayPanel);
    Stop();
  }
}

TEST_F(Commands, PositioningWaitLastsUntilTheChangerReports) {
  RunFirst("[F2 PL 3]\r\n[*WPL]\r\n[F1 TC +]\r\n");
  EXPECT_FALSE(host.controller.PositionSettled);
  Tick(4);
  EXPECT_EQ(host.delayLabel, "Wait for Positioning");
  EXPECT_TRUE(host.delayPanel);
  host.controller.PositionSettled = true;  // the changer's [F2 PL 3] reply
  Tick(2);
  EXPECT_EQ(TakeSent(), (Lines{"[F2 PL 3]", "[F1 TC +]"}));
  // With the link closed nothing moves, and nothing is waited for.
  engine.Cancel();
  host.linkOpen = false;
  RunFirst("[F2 PL 3]\r\n[*WPL]\r\n[F1 TC +]\r\n");
  Tick(3);
  EXPECT_EQ(TakeSent(), (Lines{"[F2 PL 3]", "[F1 TC +]"}));
}

// One such line would otherwise hold every spectrometer reading of the night.
TEST_F(Commands, ChangerMovesWithoutAChangerAreLoggedAndChangeNothing) {
  host.controller.HasChanger = false;
  host.controller.PositionCount = 4;
  EXPECT_EQ(LinesOf("[*PL+]\r\n[F2 PL 2]\r\n[f2 dl 3]\r\n[*WPL]\r\n[F1 TC +]\r\n"),
            (Lines{"[*PL+]", "-------No cuvette changer: [*PL+] changes nothing",
                   "-------No cuvette changer: [F2 PL 2] changes nothing",
                   "-------No cuvette changer: [F2 DL 3] changes nothing", "[*WPL]", "[F1 TC +]"}));
  EXPECT_EQ(host.sent, Lines{"[F1 TC +]"});
  EXPECT_TRUE(host.controller.PositionSettled);
  EXPECT_EQ(host.controller.CuvettePosition, 1);
}

// No report can come over a lost link: the minute counts only while the
// script may go on, or the wait ends on a changer still moving.
TEST_F(Commands, TheChangerMinutePausesWhileTheScriptIsHeld) {
  RunFirst("[F2 PL 3]\r\n[*WPL]\r\n[F1 TC +]\r\n");  // one tick a second
  Tick(30);
  host.holdReason = "the link to the controller is lost";
  Tick(120);
  host.holdReason.clear();
  Tick(29);
  EXPECT_FALSE(host.controller.PositionSettled);
  Tick();
  EXPECT_TRUE(host.controller.PositionSettled);
}

TEST_F(Commands, AChangerThatNeverReportsIsGivenUpAfterAMinute) {
  RunFirst("[F2 PL 3]\r\n[*WPL]\r\n[F1 TC +]\r\n");  // one tick a second
  TakeLog();
  Tick(59);  // the report has been awaited for 59 s
  TakeLog();
  EXPECT_FALSE(host.controller.PositionSettled);
  EXPECT_TRUE(host.delayPanel);
  Tick();
  EXPECT_TRUE(host.controller.PositionSettled);  // readings go on
  EXPECT_EQ(TakeLog(), Lines{"-------No position report from the cuvette changer within 60 s: the position wait "
                             "ends and readings go on"});
  EXPECT_FALSE(host.delayPanel);
  Tick();
  EXPECT_EQ(TakeSent(), (Lines{"[F2 PL 3]", "[F1 TC +]"}));
}

TEST_F(Commands, LoopsShowTheirLinesOneLevelLeftOfTheirBody) {
  EXPECT_EQ(LinesOf("[*LS 3]\r\n[F1 TC +]\r\n[*LE]\r\n"),
            (Lines{"[*LS 3]", "|  [F1 TC +]", "[*LE] (1/3)", "|  [F1 TC +]", "[*LE] (2/3)", "|  [F1 TC +]",
                   "[*LE] (3/3)"}));
  EXPECT_EQ(LinesOf("[*LS 2]\r\n[*LS 2]\r\n[*P]\r\n[*LE]\r\n[*LE]\r\n"),
            (Lines{"[*LS 2]", "|  [*LS 2]", "|  |  [*P]", "|  [*LE] (1/2)", "|  |  [*P]", "|  [*LE] (2/2)",
                   "[*LE] (1/2)", "|  [*LS 2]", "|  |  [*P]", "|  [*LE] (1/2)", "|  |  [*P]", "|  [*LE] (2/2)",
                   "[*LE] (2/2)"}));
}

TEST_F(Commands, LoopCountBelowOneRunsTheBodyOnceAndCloses) {
  // The enclosing loop still runs twice.
  EXPECT_EQ(LinesOf("[*LS 2]\r\n[*LS 0]\r\n[*P]\r\n[*LE]\r\n[*LE]\r\n"),
            (Lines{"[*LS 2]", "|  [*LS 0]", "|  |  [*P]", "|  [*LE] (1/0)", "[*LE] (1/2)", "|  [*LS 0]",
                   "|  |  [*P]", "|  [*LE] (1/0)", "[*LE] (2/2)"}));
}

TEST_F(Commands, CancelLoopInTheSecondPass) {
  RunFirst("[*LS 5]\r\n[F1 TC +]\r\n[*LE]\r\n[F1 TC -]\r\n");
  EXPECT_TRUE(host.clearCancelsLoop);
  Tick(3);  // first pass, and the second pass's command
  engine.RequestLoopCancel();
  TakeLog();
  Tick();
  EXPECT_EQ(TakeLog(), (Lines{"[*LE] (2/5)", "-------Loop(1) canceled"}));
  EXPECT_FALSE(host.clearCancelsLoop);
  Tick();
  EXPECT_EQ(TakeSent(), (Lines{"[F1 TC +]", "[F1 TC +]", "[F1 TC -]"}));
}

TEST_F(Commands, CancelRequestLeftAtCompletionDoesNotReachTheNextScript) {
  RunFirst("[*LS 2]\r\n[*P]\r\n");
  engine.RequestLoopCancel();
  Tick(2);
  ASSERT_FALSE(engine.Started());
  TakeLog();
  EXPECT_EQ(LinesOf("[*LS 2]\r\n[*P]\r\n[*LE]\r\n"),
            (Lines{"[*LS 2]", "|  [*P]", "[*LE] (1/2)", "|  [*P]", "[*LE] (2/2)"}));
}

TEST_F(Commands, CancelLoopWithNoOpenLoopMarksNothing) {
  RunFirst("[*LS 1]\r\n[*LE]\r\n[*D 5]\r\n");
  Tick(2);
  ASSERT_EQ(engine.LoopLevel, -1);
  EXPECT_TRUE(host.clearCancelsLoop);  // a finished loop leaves the caption
  engine.RequestLoopCancel();
  EXPECT_FALSE(host.clearCancelsLoop);
  for (bool requested : engine.LoopCancelRequested) EXPECT_FALSE(requested);
}

TEST_F(Commands, TenthNestedLoopRunsItsBodyOnceAndTheNineStayPaired) {
  std::string body;
  for (int i = 0; i < 10; ++i) body += "[*LS 2]\r\n";
  body += "[*P]\r\n";
  for (int i = 0; i < 10; ++i) body += "[*LE]\r\n";
  const Lines lines = LinesOf(body, 20000);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "|  |  |  |  |  |  |  |  |  [*P]"), 512);
  EXPECT_EQ(std::count(lines.begin(), lines.end(),
                       "|  |  |  |  |  |  |  |  |  -------Loop not opened: nine loops are open; its body runs once"),
            512);
  EXPECT_EQ(lines.back(), "[*LE] (2/2)");
}

TEST_F(Commands, UnpairedLoopCommandsAndRestartsInsideLoopsStayInBounds) {
  EXPECT_EQ(LinesOf("[*LE]\r\n[*P]\r\n"), (Lines{"[*LE] ignored: no loop is open", "[*P]"}));
  EXPECT_EQ(LinesOf("[*P]\r\n[*LS 3]\r\n"), (Lines{"[*P]", "[*LS 3]"}));  // no body: the script completes
  // "[*R]" inside an open loop opens another level at each restart.
  RunBanner("[*LS 2]\r\n[*R]\r\n");
  Tick(100);
  EXPECT_EQ(engine.LoopLevel, kLoopLevels - 1);
  EXPECT_TRUE(engine.Started());
}

TEST_F(Commands, SwitchCommands) {
  struct Case {
    const char* command;
    bool ReplyLog::*log;
    bool ReadingBeep::*beep;
    bool value;
    bool echoed;
  } cases[] = {
      {"[*LCT+]", &ReplyLog::CT, nullptr, true, true},   {"[*LCT +]", &ReplyLog::CT, nullptr, true, true},
      {"[*LIS-]", &ReplyLog::IS, nullptr, false, true},  {"[*LER-]", &ReplyLog::ER, nullptr, false, true},
      {"[*LXX+]", nullptr, nullptr, false, false},       {"[*LCT]", nullptr, nullptr, false, false},
      {"[*BCT+]", nullptr, &ReadingBeep::Sample, true, true},
      {"[*BRT +]", nullptr, &ReadingBeep::Reference, true, true},
      {"[*BXT+]", nullptr, nullptr, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    host.replyLog = ReplyLog{};
    host.beeps = ReadingBeep{};
    host.beeps.Probe = true;
    RunFirst(std::string(c.command) + "\r\n");
    if (c.log) {
      EXPECT_EQ(host.replyLog.*c.log, c.value);
    }
    if (c.beep) {
      EXPECT_EQ(host.beeps.*c.beep, c.value);
    }
    EXPECT_EQ(TakeLog().size(), 3u + (c.echoed ? 1 : 0));
    if (!c.log && !c.beep) {
      EXPECT_TRUE(host.replyLog.IS && host.replyLog.TT && host.replyLog.ER && !host.replyLog.CT);
      EXPECT_TRUE(!host.beeps.Sample && !host.beeps.Reference && host.beeps.Probe);
    }
    Stop();
  }
}

TEST_F(Commands, ReplyLogSwitchInsideALoopDoesNotEndIt) {
  EXPECT_EQ(LinesOf("[*LS 2]\r\n[*LER+]\r\n[*LE]\r\n"),
            (Lines{"[*LS 2]", "|  [*LER+]", "[*LE] (1/2)", "|  [*LER+]", "[*LE] (2/2)"}));
}

TEST_F(Commands, ChangerAndTargetSteps) {
  struct Case {
    int count, position;
    float target;
    const char* command;
    Lines sent;
  } cases[] = {
      {4, 1, 0, "[*PL-]", {"[F2 PL 4]"}},
      {4, 4, 0, "[*PL+]", {"[F2 PL 1]"}},
      {6, 3, 0, "[*PL+]", {"[F2 PL 4]"}},
      {1, 1, 30.0f, "[*TT+2.5]", {"[F1 TT S 32.50]", "[F1 TT ?]"}},
      {1, 1, 30.0f, "[*TT-0.25]", {"[F1 TT S 29.75]", "[F1 TT ?]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    host.controller.PositionCount = c.count;
    host.controller.CuvettePosition = c.position;
    host.controller.SampleTarget = c.target;
    host.controller.PositionSettled = true;
    RunFirst(std::string(c.command) + "\r\n");
    EXPECT_EQ(TakeSent(), c.sent);
    EXPECT_EQ(host.controller.PositionSettled, c.count == 1);  // a move awaits the changer's report
    Lines shown{c.command};
    shown.insert(shown.end(), c.sent.begin(), c.sent.end());
    EXPECT_EQ(Lines(host.log.begin() + 3, host.log.end()), shown);
    TakeLog();
    Stop();
  }
}

TEST_F(Commands, OperatorMessageHoldsTheScriptAndBeepsWhenAsked) {
  for (const char flag : {'+', '-'}) {
    SCOPED_TRACE(flag);
    host.messages.clear();
    host.beepCount = 0;
    bool aqua = false;
    host.whileMessage = [&] {
      aqua = host.alert;
      Tick(3);  // the timer keeps ticking while the box is open
    };
    RunFirst(std::string("[*MSG ") + flag + " Insert sample now]\r\n[F1 TC +]\r\n");
    EXPECT_EQ(host.messages, Lines{"Zel_SC Script: Insert sample now"});
    EXPECT_TRUE(aqua);
    EXPECT_FALSE(host.alert);
    EXPECT_EQ(host.beepCount, flag == '+' ? 3 : 0);
    EXPECT_TRUE(host.sent.empty());
    Tick();
    EXPECT_EQ(TakeSent(), Lines{"[F1 TC +]"});
    EXPECT_EQ(host.beepCount, flag == '+' ? 3 : 0);
    Stop();
  }
}

TEST_F(Commands, TheOperatorMessageTheEndAndACancelAreRaisedAsEvents) {
  std::string waiting;
  host.whileMessage = [&] { waiting = engine.OperatorMessage; };
  LinesOf("[*MSG - Insert sample now]\r\n[F1 TC +]\r\n");
  EXPECT_EQ(waiting, "Insert sample now");
  EXPECT_TRUE(engine.OperatorMessage.empty());
  EXPECT_EQ(host.raised, (Lines{"operator-message: Insert sample now", "script-finished: test.txt"}));
  host.raised.clear();
  RunFirst("[*D 5]\r\n");
  engine.Cancel();
  EXPECT_EQ(host.raised, Lines{"script-cancelled: test.txt"});
}

TEST_F(Commands, TicksArrivingWhileAnOperationHoldsABoxOpenHoldTheScript) {
  host.whileWavelength = [&] { Tick(3); };
  RunFirst("[*SW X]\r\n[F1 TC +]\r\n");
  EXPECT_TRUE(host.sent.empty());
  Tick();
  EXPECT_EQ(TakeSent(), Lines{"[F1 TC +]"});
}

TEST_F(Commands, PlotDataAndSpectrometerSteps) {
  RunFirst("[*P]\r\n[*CTD]\r\n[*SC abc 1]\r\n[*SW 500]\r\n[*SW+2.5]\r\n[*SZ]\r\n[*SS +]\r\n[*SP -]\r\n");
  Tick(7);
  EXPECT_EQ(host.events, (Lines{"redraw", "clear all", "time base reset", "spectrometer ABC 1", "wavelength ' ' 500",
                                "wavelength '+' 2.5", "zero", "sample on", "probe off"}));
}

}  // namespace
}  // namespace vireo::testing
