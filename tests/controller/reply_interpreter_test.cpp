// The reply interpreter, driven through the receive handler: bytes in, then
// the controller state, the status panel, the series, the display log and
// the commands sent back.
#include <QAction>
#include <QCheckBox>
#include <QTimer>

#include "controller/reply_test_helpers.h"
#include "shell/widgets.h"

namespace vireo::testing {
namespace {

const std::string kDeg = " \xB0" "C";
const std::string kPlaceholder = "(--.-- \xB1 --.--- \xB0" "C)";

using Replies = ConnectedWindow;

TEST(ReplyInterpreterSearch, ReturnedQueriesNeedTheEchoSwitchAndWarnOncePerRestart) {
  FormFixture f;
  f.Tick();  // the search opens the only port
  f.Timer1Tick();
  ASSERT_EQ(f.Sent(), std::vector<std::string>{"[F1 IS ?]"});
  f.Receive("[F1 IS ?]\r\n[F1 TT ?]\r\n");  // an echoing modem
  EXPECT_FALSE(f.form->Controller.ControllerFound);
  EXPECT_TRUE(f.form->Search.Searching);
  EXPECT_TRUE(f.dialogs.shown.empty());

  f.form->GBox_COMDblClick(f.form->GBox_COM);
  f.Receive("[F1 IS ?]\r\n");
  EXPECT_TRUE(f.form->Controller.ControllerFound);
  EXPECT_FALSE(f.form->Search.Searching);

  f.dialogs.answers = {Answer::Cancel};
  f.Receive("[F1 TT ?]\r\n");
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].text, "The current COM port appears to connect to a modem or similar device.");
  EXPECT_EQ(f.dialogs.shown[0].caption, "Comm Error (ttyUSB0)");
  EXPECT_EQ(f.dialogs.shown[0].buttons, Buttons::OkCancel);
  f.Receive("[F1 TT ?]\r\n[F1 CT 21.00]\r\n");  // Cancel goes on; no second warning
  EXPECT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(Records(f, 1).size(), 1u);
  EXPECT_FALSE(f.form->Shell.Closing);

  // Restart re-arms the warning and clears the echo switch.
  f.form->M_File_RestartClick(f.form->M_File_Restart);
  f.form->Search.Searching = false;
  f.form->Btn_COMClick(f.form->Btn_COM);
  f.Receive("[F1 TT ?]\r\n");
  EXPECT_FALSE(f.form->Controller.ControllerFound);
  EXPECT_EQ(f.dialogs.shown.size(), 1u);

  // OK ends the program: nothing after the warning is interpreted.
  f.form->GBox_COMDblClick(f.form->GBox_COM);
  f.Receive("[F1 TT ?]\r\n[F1 CT 22.00]\r\n");
  ASSERT_EQ(f.dialogs.shown.size(), 2u);
  EXPECT_TRUE(f.form->Shell.Closing);
  EXPECT_TRUE(Records(f, 1).empty());
}

TEST(ReplyInterpreterSearch, FirstContactArrangesTheWindowOnceAndStillHandlesItsReply) {
  FormFixture f;
  f.Receive("[R1 CT 21.00]\r\n");  // replies before first contact are interpreted too
  EXPECT_EQ(Records(f, 2).size(), 1u);
  EXPECT_FALSE(f.form->Controller.ControllerFound);

  f.form->Search.Searching = false;
  f.form->Btn_COMClick(f.form->Btn_COM);
  f.Timer1Tick();
  f.Sent();
  f.Receive("[F1 IS 0++S]\r\n");
  FormA& w = *f.form;
  EXPECT_TRUE(f.Sent().empty());  // mirrored boxes send nothing back
  EXPECT_EQ(w.windowTitle().toStdString(), "Vireo(S) - Temperature Control Application  on ttyUSB0");
  EXPECT_EQ(w.width(), 825);
  EXPECT_EQ(w.height(), 600);
  EXPECT_EQ(w.Layout.LayoutWidth, 674);
  EXPECT_EQ(w.Layout.LayoutHeight, 510);
  EXPECT_TRUE(w.GBox_COM->isHidden());
  EXPECT_FALSE(FormA::Visible(w.M_File_WorkOffline));
  EXPECT_EQ(w.RunState, kRunIdle);
  EXPECT_FALSE(w.Timer1->isActive());
  EXPECT_TRUE(Records(f, 2).empty());
  EXPECT_TRUE(w.Recording.TimeBaseResetPending);
  EXPECT_TRUE(w.Recording.LivePlot);
  EXPECT_FLOAT_EQ(w.Controller.SampleHeLimit, 60.0f);
  EXPECT_FLOAT_EQ(w.Controller.ReferenceHeLimit, 60.0f);
  ASSERT_EQ(w.Steps.PendingCount, 1);
  EXPECT_EQ(w.Steps.PendingSteps[0], kStepStartup);
  EXPECT_FLOAT_EQ(w.Controller.MinTarget, -40.0f);  // the range every model has, until identified
  // ... and the status reply itself: holding, stirrer on.
  EXPECT_TRUE(w.CkB_SController_On->isChecked());
  EXPECT_TRUE(w.CkB_S_StirrerOn->isChecked());
  EXPECT_TRUE(w.Controller.SampleStable);
  EXPECT_EQ(w.Controller.SampleControlState, kControlHolding);
  EXPECT_FALSE(w.Controller.BoxFromReply);

  w.resize(900, 700);
  f.Receive("[F1 IS 0++S]\r\n");
  EXPECT_EQ(w.width(), 900);
  EXPECT_EQ(w.Steps.PendingCount, 1);
}

TEST_F(Replies, StarAddressesUnlistedCodesAndStrayTextAreOnlyLogged) {
  Reply("[*X CT 25.00]");
  Reply("[*1 ID 22]");
  Reply("[F1 ZZ 7]");
  Reply("[F1 TC +]");
  f.Receive("[F1 PX +]\r\nstray]text]\r\n");  // a stray "]" dispatches nothing again
  EXPECT_EQ(f.DisplayLog(), (std::vector<std::string>{"...[*X CT 25.00]", "...[*1 ID 22]", "...[F1 ZZ 7]",
                                                      "...[F1 TC +]", "...[F1 PX +]"}));
  EXPECT_TRUE(Records(f, 1).empty());
  EXPECT_EQ(C().ModelId, "10");
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Replies, FramesUpTo99CharactersAreInterpretedLongerOnesDropped) {
  const std::string fits = "[F1 ZZ " + std::string(91, 'x') + "]";
  ASSERT_EQ(fits.size(), 99u);
  Reply(fits);
  Reply("[F1 ZZ " + std::string(92, 'y') + "]");
  Reply("[F1 TT " + std::string(91, '7') + "]");  // a long argument is cut to the text field
  EXPECT_EQ(f.DisplayLog(), (std::vector<std::string>{"..." + fits, "...[F1 TT " + std::string(91, '7') + "]"}));
  EXPECT_EQ(C().SampleTargetText, "777777777");
  EXPECT_EQ(Text(W().L_S_TargetT), "777777777" + kDeg);
}

TEST_F(Replies, ReadingsGoToTheSampleProbeOrReferenceSide) {
  struct Case {
    const char* reply;
    int series;
    QLabel* FormA::*label;
    float ControllerState::*stored;
    float value;
  };
  const Case cases[] = {
      {"[F1 CT 24.87]", 1, &FormA::L_S_Temperature, &ControllerState::SampleTemperature, 24.87f},
      {"[F1 PT 22.5]", 3, &FormA::L_P_Temperature, &ControllerState::ProbeTemperature, 22.5f},
      {"[R1 CT 25.00]", 2, &FormA::L_R_Temperature, &ControllerState::ReferenceTemperature, 25.0f},
      {"[X1 CT 26.00]", 2, &FormA::L_R_Temperature, &ControllerState::ReferenceTemperature, 26.0f},
      {"[R1 PT -3.25]", 2, &FormA::L_R_Temperature, &ControllerState::ReferenceTemperature, -3.25f},
  };
  std::size_t counts[6] = {};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    Reply(c.reply);
    counts[c.series] += 1;
    for (int s = 1; s <= 5; ++s) EXPECT_EQ(Records(f, s).size(), counts[s]) << "series " << s;
    EXPECT_NEAR(Records(f, c.series).back().second, c.value, 0.005);
    EXPECT_FLOAT_EQ(C().*c.stored, c.value);
    EXPECT_EQ(Text(W().*c.label), Format("%.2f", static_cast<double>(c.value)) + kDeg);
  }
  EXPECT_TRUE(f.DisplayLog().empty());  // reading switches are off at start
}

TEST_F(Replies, ReadingsWithoutAValueAddNoRecordAndChangeNoDisplay) {
  Reply("[F1 CT 20.00]");
  for (const char* reply : {"[F1 CT N]", "[F1 PT NA]", "[R1 CT abc]", "[F1 CT ]", "[F1 PT -]", "[F1 HT xyz]",
                            "[R1 HT .]", "[F1 CT 1e39]", "[F1 HT -4e40]"}) {
    Reply(reply);
  }
  EXPECT_EQ(Records(f, 1).size(), 1u);
  for (int s = 2; s <= 5; ++s) EXPECT_TRUE(Records(f, s).empty()) << "series " << s;
  EXPECT_EQ(Text(W().L_S_Temperature), "20.00" + kDeg);
  EXPECT_FLOAT_EQ(C().SampleTemperature, 20.0f);
  EXPECT_EQ(Text(W().L_S_HeatExcT), "Heat Exch:  OK");
  EXPECT_TRUE(f.DisplayLog().empty());

  W().Log.PT = true;  // the "N" form is logged under the probe switch, also for CT
  Reply("[F1 CT N]");
  EXPECT_EQ(f.DisplayLog(), std::vector<std::string>{"...[F1 CT N]"});
}

TEST_F(Replies, AnyReadingRestartsAPendingTimeBaseHeatExchangerReadingsDoNot) {
  ASSERT_TRUE(W().Recording.TimeBaseResetPending);
  f.ticks.now += 5000;
  Reply("[F1 HT 30.00]");
  EXPECT_TRUE(W().Recording.TimeBaseResetPending);
  Reply("[F1 PT NA]");
  EXPECT_FALSE(W().Recording.TimeBaseResetPending);
  EXPECT_EQ(W().Recording.TimeBase, f.ticks.now);
  f.ticks.now += 90000;
  Reply("[F1 CT 20.00]");
  ASSERT_EQ(Records(f, 1).size(), 1u);
  EXPECT_NEAR(Records(f, 1)[0].first, 1.5, 0.0005);
}

TEST_F(Replies, ProbeStatisticsOverTheLast20ReadingsInSinglePrecision) {
  auto probe = [this](double v) { Reply(Format("[F1 PT %.2f]", v)); };
  for (int i = 0; i < 20; ++i) probe(10 + i);  // Avg unchecked: the placeholder stays
  EXPECT_EQ(Text(W().L_P_MeanDeviation), kPlaceholder);
  EXPECT_EQ(C().ProbeWindowLast, 19);

  Reply("[F1 PR +]");
  Click(W().CkB_P_Avg);
  Reply("[F1 PR -]");  // empties the window
  Reply("[F1 PR +]");
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 PT +3]", "[F1 PX +]", "[F1 PT +3]"}));
  for (int i = 0; i < 19; ++i) probe(10 + i);
  EXPECT_EQ(Text(W().L_P_MeanDeviation), kPlaceholder);
  probe(29);
  EXPECT_EQ(Text(W().L_P_MeanDeviation), "(19.50 \xB1 5.000 \xB0" "C)");
  probe(50);  // 10 leaves the window
  EXPECT_EQ(Text(W().L_P_MeanDeviation), "(21.50 \xB1 6.050 \xB0" "C)");
  EXPECT_EQ(C().ProbeWindowLast, 19);

  // Summed in single precision, 2^24 + 1 stays 2^24: the mean is 2^24 / 20.
  Reply("[F1 PR -]");
  Reply("[F1 PR +]");
  Reply("[F1 PT 16777216]");
  for (int i = 0; i < 19; ++i) Reply("[F1 PT 1]");
  EXPECT_EQ(Text(W().L_P_MeanDeviation).rfind("(838860.81 \xB1 ", 0), 0u) << Text(W().L_P_MeanDeviation);
}

TEST_F(Replies, StatusRestartAsksAgainAndRepeatsTheStartupSequence) {
  f.RunStartup();
  ClearLog();
  Reply("[F1 IS 0-+S]");
  ASSERT_EQ(C().SampleControlState, kControlHolding);
  C().ReferenceControlState = kControlHolding;
  Reply("[F1 IS R]");
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 IS ?]"});
  ASSERT_EQ(W().Steps.PendingCount, 1);
  EXPECT_EQ(W().Steps.PendingSteps[0], kStepStartup);
  EXPECT_EQ(C().SampleControlState, kControlOff);
  EXPECT_EQ(C().ReferenceControlState, kControlOff);
  EXPECT_EQ(f.DisplayLog().front(), "...[F1 IS 0-+S]");
}

TEST_F(Replies, PendingErrorIsAskedForOnTheReportingSide) {
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"[F1 IS 1---]", {"[F1 ER ?]"}}, {"[R1 IS E---]", {"[R1 ER ?]"}}, {"[X1 IS 3---]", {"[R1 ER ?]"}},
      {"[F1 IS 0---]", {}},            {"[R1 IS +---]", {}},
  };
  for (const auto& [reply, expected] : cases) {
    Reply(reply);
    EXPECT_EQ(Sent(), expected) << reply;
  }
}

TEST_F(Replies, StatusIsMirroredIntoTheBoxesWithoutSendingBack) {
  Reply("[F1 IS 0+--]");
  EXPECT_TRUE(W().CkB_S_StirrerOn->isChecked());
  EXPECT_TRUE(C().SampleStirrerOn);
  EXPECT_TRUE(W().M_Tools_SC1_On->isChecked());
  EXPECT_FALSE(W().CkB_SController_On->isChecked());
  Reply("[F1 IS 0-+-]");
  EXPECT_FALSE(W().CkB_S_StirrerOn->isChecked());
  EXPECT_TRUE(W().CkB_SController_On->isChecked());
  EXPECT_TRUE(W().M_Tools_TC_Spl_On->isChecked());
  EXPECT_EQ(C().SampleControlState, kControlSeeking);
  Reply("[F1 IS 0-+S]");
  EXPECT_EQ(C().SampleControlState, kControlHolding);
  EXPECT_TRUE(C().SampleStable);
  Reply("[R1 IS 0++S]");
  EXPECT_TRUE(W().CkB_R_StirrerOn->isChecked());
  EXPECT_TRUE(W().CkB_RController_On->isChecked());
  EXPECT_EQ(C().ReferenceControlState, kControlHolding);
  EXPECT_TRUE(C().ReferenceStable);
  Reply("[F1 IS 0---]");
  Reply("[R1 IS 0-+-]");
  EXPECT_FALSE(W().CkB_SController_On->isChecked());
  EXPECT_EQ(C().SampleControlState, kControlOff);
  EXPECT_EQ(C().ReferenceControlState, kControlSeeking);
  EXPECT_FALSE(C().ReferenceStable);
  EXPECT_TRUE(Sent().empty());
  EXPECT_FALSE(C().BoxFromReply);
}

TEST_F(Replies, ReportedSampleChangeSwitchesTheLinkedReferenceWhichSends) {
  Reply("[F1 ID 20]");  // a two-holder controller starts linked
  ASSERT_TRUE(W().M_Tools_Link_RtoS->isChecked());
  Sent();
  Reply("[F1 IS 0++-]");
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[R1 SS +]", "[R1 TC +]"}));
  EXPECT_TRUE(W().CkB_RController_On->isChecked());
  EXPECT_TRUE(W().CkB_R_StirrerOn->isChecked());
  EXPECT_FALSE(C().BoxFromReply);
}

TEST_F(Replies, StatusAlreadyShownByTheBoxOnlyUpdatesTheFlag) {
  Click(W().CkB_SController_On);
  ASSERT_EQ(Sent(), std::vector<std::string>{"[F1 TC +]"});
  C().SampleTcOn = false;  // the flag has fallen behind its box
  Reply("[F1 IS 0-+-]");
  EXPECT_TRUE(C().SampleTcOn);
  EXPECT_FALSE(C().BoxFromReply);
  EXPECT_TRUE(Sent().empty());
  Click(W().CkB_SController_On);  // the user's next click is not taken for a reply
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 TC -]"});
}

TEST_F(Replies, ControllerErrorSwitchesControlOffAndShowsTheFault) {
  Click(W().CkB_SController_On);
  Click(W().CkB_RController_On);
  Sent();
  Reply("[F1 ER 8]");
  EXPECT_EQ(f.DisplayLog(),
            (std::vector<std::string>{"[F1 TC +]", "[R1 TC +]", "...[F1 ER 8]", "[F1 TC -]", "[R1 TC -]"}));
  EXPECT_EQ(Text(W().L_ErrorNotice),
            "Error 8: inadequate coolant (check flow).  Temperature control has shut down.");
  EXPECT_FALSE(W().Panel_ErrorNotice->isHidden());
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 TC -]", "[R1 TC -]"}));
  EXPECT_FALSE(W().CkB_SController_On->isChecked());
  EXPECT_EQ(C().SampleControlState, kControlFault);
  EXPECT_EQ(C().SampleFault, 8);
  f.Tick();
  EXPECT_EQ(Text(W().L_S_LED), "Fault (ER 8)");
  const PlotColour first = W().Shape_S_LED->Colour();
  f.Tick();
  EXPECT_EQ((std::vector<PlotColour>{first, W().Shape_S_LED->Colour()}), (std::vector<PlotColour>{kSilver, kRed}));

  Reply("[R1 ER 5]");
  EXPECT_EQ(C().ReferenceControlState, kControlFault);
  EXPECT_EQ(C().ReferenceFault, 5);
  f.Tick();
  EXPECT_EQ(Text(W().L_R_LED), "Ref: Fault (ER 5)");
  Reply("[X1 ER 10]");  // only "R" addresses the reference here
  EXPECT_EQ(C().SampleFault, 10);
}

TEST_F(Replies, ErrorWithTheLinkOnSwitchesBothHoldersOffOnce) {
  Reply("[F1 ID 20]");
  Click(W().CkB_SController_On);
  ASSERT_TRUE(W().CkB_RController_On->isChecked());
  Sent();
  Reply("[F1 ER 8]");
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 TC -]", "[R1 TC -]"}));
  EXPECT_FALSE(W().CkB_RController_On->isChecked());
}

TEST_F(Replies, IgnoredErrorNumbersChangeNothing) {
  Click(W().CkB_SController_On);
  Reply("[F1 IS 0-+S]");
  Sent();
  ClearLog();
  for (const char* reply : {"[F1 ER 9]", "[F1 ER 0]", "[F1 ER 11]", "[F1 ER +]", "[R1 ER -3]", "[F1 ER x]"}) {
    Reply(reply);
    EXPECT_TRUE(Sent().empty()) << reply;
  }
  EXPECT_TRUE(W().Panel_ErrorNotice->isHidden());
  EXPECT_TRUE(W().CkB_SController_On->isChecked());
  EXPECT_EQ(C().SampleControlState, kControlHolding);
  EXPECT_EQ(C().ReferenceControlState, kControlHolding);
  EXPECT_EQ(f.DisplayLog().size(), 6u);  // all are logged
}

TEST_F(Replies, StirrerSpeedReplies) {
  Reply("[F1 SS 800]");
  Reply("[R1 SS 950]");
  for (const char* ignored : {"[F1 SS S 700]", "[F1 SS +]", "[R1 SS -]", "[X1 SS 600]", "[F1 SS abc]"}) {
    Reply(ignored);
  }
  EXPECT_EQ(C().SampleSpeed, 800);
  EXPECT_EQ(C().SampleStirrerText, "800 rpm");
  EXPECT_EQ(Text(W().L_S_StirSpeed), "800 rpm");
  EXPECT_EQ(C().ReferenceSpeed, 950);
  EXPECT_EQ(C().ReferenceStirrerText, "950 rpm");
  EXPECT_EQ(Text(W().L_R_StirSpeed), "950 rpm");
  EXPECT_EQ(f.DisplayLog().size(), 7u);
  Reply("[F1 SS 12345678]");  // the text keeps its first 9 characters
  EXPECT_EQ(C().SampleSpeed, 12345678);
  EXPECT_EQ(C().SampleStirrerText, "12345678 ");
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Replies, TargetReplies) {
  const std::tuple<const char*, const char*, float> cases[] = {
      {"[F1 TT +]", "20.00", 20.0f},
      {"[F1 TT S 25.00]", "25.00", 25.0f},
      {"[F1 TT 37.5]", "37.5", 37.5f},
      {"[F1 TT 12.3456789012]", "12.345678", 12.345678f},
      {"[F1 TT abc]", "abc", 0.0f},
      {"[F1 TT S]", "", 0.0f},
  };
  for (const auto& [reply, text, value] : cases) {
    Reply(reply);
    EXPECT_EQ(C().SampleTargetText, text) << reply;
    EXPECT_FLOAT_EQ(C().SampleTarget, value) << reply;
    EXPECT_EQ(Text(W().L_S_TargetT), text + kDeg) << reply;
  }
  Reply("[R1 TT S 30.5]");
  EXPECT_EQ(C().ReferenceTargetText, "30.5");
  EXPECT_FLOAT_EQ(C().ReferenceTarget, 30.5f);
  EXPECT_EQ(Text(W().L_R_TargetT), "30.5" + kDeg);
  EXPECT_EQ(f.DisplayLog().size(), 7u);
}

TEST_F(Replies, TargetsDuringARampAreStoredButShownOnlyAtTheFinalTarget) {
  C().TargetHold = true;
  C().FinalTarget = 30.0f;
  Reply("[F1 TT 25.00]");
  Reply("[R1 TT 26.00]");
  EXPECT_FLOAT_EQ(C().SampleTarget, 25.0f);
  EXPECT_FLOAT_EQ(C().ReferenceTarget, 26.0f);
  EXPECT_EQ(Text(W().L_S_TargetT), "20.00" + kDeg);
  EXPECT_EQ(Text(W().L_R_TargetT), "20.00" + kDeg);
  EXPECT_TRUE(f.DisplayLog().empty());
  Reply("[F1 TT 30.00]");
  EXPECT_FALSE(C().TargetHold);
  EXPECT_EQ(Text(W().L_S_TargetT), "30.00" + kDeg);
  EXPECT_EQ(f.DisplayLog(), std::vector<std::string>{"...[F1 TT 30.00]"});

  Reply("[F1 VN 7.0]");  // firmware 7.0 and below: only the ramp itself ends the hold
  C().TargetHold = true;
  Reply("[F1 TT 30.00]");
  EXPECT_TRUE(C().TargetHold);
}

TEST_F(Replies, SampleTargetReportDisarmsTheReminder) {
  W().EquilReminder.ReminderState = kReminderArmed;
  W().EquilReminder.ReminderCount = 42;
  Reply("[R1 TT 25.00]");
  EXPECT_EQ(W().EquilReminder.ReminderState, kReminderArmed);
  Reply("[F1 TT 25.00]");
  EXPECT_EQ(W().EquilReminder.ReminderState, kReminderIdle);
  EXPECT_EQ(W().EquilReminder.ReminderCount, 0);
  EXPECT_EQ(C().SampleControlState, kControlSeeking);
}

TEST_F(Replies, HeatExchangerColoursAgainstTheLimit) {
  const std::tuple<const char*, const char*, PlotColour, int> cases[] = {
      {"[F1 HT 55.0]", "Heat Exch: 55.00", kOrange, 4}, {"[F1 HT 50.0]", "Heat Exch: 50.00", kBlue, 4},
      {"[F1 HT 60.5]", "Heat Exch: 60.50", kRed, 4},    {"[F1 HT 60.0]", "Heat Exch: 60.00", kOrange, 4},
      {"[R1 HT 55.0]", "Heat Exch:  55.00", kOrange, 5}, {"[X1 HT 61.0]", "Heat Exch:  61.00", kRed, 5},
  };
  for (const auto& [reply, text, colour, series] : cases) {
    Reply(reply);
    QLabel* label = series == 4 ? W().L_S_HeatExcT : W().L_R_HeatExcT;
    EXPECT_EQ(Text(label), text + kDeg) << reply;
    EXPECT_EQ(FontColour(label), colour) << reply;
  }
  EXPECT_EQ(Records(f, 4).size(), 4u);
  EXPECT_EQ(Records(f, 5).size(), 2u);
  EXPECT_FLOAT_EQ(C().SampleHeTemperature, 60.0f);
  EXPECT_FLOAT_EQ(C().ReferenceHeTemperature, 61.0f);

  Reply("[F1 HL 40]");
  Reply("[R1 HT 35.0]");
  EXPECT_EQ(FontColour(W().L_R_HeatExcT), kOrange);
  Reply("[F1 HT 29.0]");
  EXPECT_EQ(FontColour(W().L_S_HeatExcT), kBlue);
}

TEST_F(Replies, ReplyLogSwitchesAndNesting) {
  const char* replies[] = {"[F1 IS 0---]", "[F1 TT 20.00]", "[F1 ER +]", "[F1 CT 20.00]",
                           "[R1 CT 20.00]", "[F1 PT 20.00]", "[F1 HT 20.00]"};
  for (const char* r : replies) Reply(r);
  EXPECT_EQ(f.DisplayLog(), (std::vector<std::string>{"...[F1 IS 0---]", "...[F1 TT 20.00]", "...[F1 ER +]"}));

  ClearLog();
  W().Log = ReplyLog{false, true, true, true, false, true, false};
  W().LoopLevel = 1;
  for (const char* r : replies) Reply(r);
  EXPECT_EQ(f.DisplayLog(), (std::vector<std::string>{"|  |  ...[F1 CT 20.00]", "|  |  ...[R1 CT 20.00]",
                                                      "|  |  ...[F1 PT 20.00]", "|  |  ...[F1 HT 20.00]"}));
}

TEST_F(Replies, ReadingBeepsPerKind) {
  W().Beeps.Reference = true;
  Reply("[F1 CT 20.00]");
  Reply("[F1 PT 20.00]");
  EXPECT_EQ(f.beeper.beeps, 0);
  Reply("[R1 CT 20.00]");
  EXPECT_EQ(f.beeper.beeps, 1);
  W().Beeps = ReadingBeep{true, false, true};
  Reply("[F1 CT 20.00]");
  Reply("[F1 PT 20.00]");
  Reply("[R1 CT 20.00]");
  Reply("[F1 CT N]");
  EXPECT_EQ(f.beeper.beeps, 3);
}

TEST_F(Replies, DisplayLogKeepsItsNewest20000LinesWhole) {
  std::string bytes;
  for (int i = 0; i < 20010; ++i) bytes += Format("[F1 ZZ %d]\r\n", i);
  f.Receive(bytes);
  const auto log = f.DisplayLog();
  ASSERT_EQ(log.size(), 20000u);
  // The first line says what was dropped.
  EXPECT_TRUE(log.front().starts_with("-------11 earlier lines are no longer shown")) << log.front();
  EXPECT_EQ(log[1], "...[F1 ZZ 11]");
  EXPECT_EQ(log.back(), "...[F1 ZZ 20009]");
}

}  // namespace
}  // namespace vireo::testing
