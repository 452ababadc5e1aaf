// Identification and configuration replies through the receive handler:
// version, identity, features, probe presence, limits, the cuvette changer
// and the ramp rate.
#include <QAction>
#include <QComboBox>

#include "controller/reply_test_helpers.h"
#include "shell/widgets.h"

namespace vireo::testing {
namespace {

using Config = ConnectedWindow;

bool Pending(const FormA& w, std::int32_t step) {
  for (std::int32_t i = 0; i < w.Steps.PendingCount; ++i) {
    if (w.Steps.PendingSteps[i] == step) return true;
  }
  return false;
}

std::vector<std::string> Items(const QComboBox* list) {
  std::vector<std::string> items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->itemText(i).toStdString());
  return items;
}

TEST_F(Config, FirmwareVersionKeepsItsValueWhenTheReplyCarriesNoNumber) {
  Reply("[F1 VN]");
  Reply("[F1 VN abc]");
  EXPECT_FLOAT_EQ(C().FirmwareVersion, 9.0f);
  Reply("[F1 VN 6.5]");
  Reply("[F1 VN x7]");
  EXPECT_FLOAT_EQ(C().FirmwareVersion, 6.5f);
  EXPECT_EQ(f.DisplayLog().size(), 4u);
}

TEST_F(Config, TwoHolderIdentityLinksOncePerConnectionWithoutCommandsToTheReference) {
  Reply("[F1 ID 22]");
  EXPECT_FLOAT_EQ(C().MinTarget, -55.0f);
  EXPECT_FLOAT_EQ(C().MaxTarget, 150.0f);
  EXPECT_TRUE(W().M_Tools_Link_RtoS->isChecked());
  EXPECT_FALSE(C().ReferenceShown);
  EXPECT_EQ(C().ReferenceControlState, kControlOff);
  EXPECT_TRUE(W().GrB_R_Holder->isHidden());
  // Nothing of the sample holder has been read: the reference keeps its own.
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 PS ?]"});

  // A later identity (a controller restart) leaves the link as it is, linked or not.
  Reply("[F1 ID 22]");
  EXPECT_TRUE(W().M_Tools_Link_RtoS->isChecked());
  EXPECT_FALSE(C().ReferenceShown);
  W().M_Tools_Link_RtoSClick(W().M_Tools_Link_RtoS);
  Sent();
  Reply("[F1 ID 22]");
  EXPECT_FALSE(W().M_Tools_Link_RtoS->isChecked());
  EXPECT_TRUE(C().ReferenceShown);
  EXPECT_FALSE(W().GrB_R_Holder->isHidden());
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 PS ?]"});
}

TEST_F(Config, AnUnreadableIdentityKeepsTheModelAndItsHandling) {
  Reply("[F1 ID 31]");
  ASSERT_EQ(C().PositionCount, 4);
  Sent();
  for (const char* reply : {"[F1 ID]", "[F1 ID ]", "[F1 ID 3]", "[F1 ID  3]"}) {
    Reply(reply);
    EXPECT_EQ(C().ModelId.Str(), "31") << reply;
    EXPECT_TRUE(C().HasChanger) << reply;
    EXPECT_EQ(C().PositionCount, 4) << reply;
    EXPECT_EQ(f.DisplayLog().back(), std::string("...") + reply);
  }
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Config, ModelIdentifierSetsRangeStirrerMinimumAndProbeQuery) {
  struct Case {
    const char* id;
    float minTarget, maxTarget;
    std::int32_t minStir;
    bool basic, asksProbe;
  };
  const Case cases[] = {
      {"10", -40, 105, 200, true, false}, {"11", -40, 105, 200, true, true},  {"12", -55, 150, 200, true, true},
      {"14", -40, 105, 200, false, true}, {"13", -40, 105, 0, false, true},   {"00", -40, 105, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    C().ReferenceStable = false;
    Reply(std::string("[F1 ID ") + c.id + "]");
    EXPECT_EQ(C().ModelId, c.id);
    EXPECT_FLOAT_EQ(C().MinTarget, c.minTarget);
    EXPECT_FLOAT_EQ(C().MaxTarget, c.maxTarget);
    EXPECT_EQ(C().MinStirSpeed, c.minStir);
    EXPECT_EQ(C().BasicModel, c.basic);
    EXPECT_TRUE(C().ReferenceStable);  // one holder: waits depend on the sample alone
    EXPECT_FALSE(C().HasChanger);
    EXPECT_EQ(Sent(), c.asksProbe ? std::vector<std::string>{"[F1 PS ?]"} : std::vector<std::string>{});
  }
}

TEST_F(Config, ChangerModelsSetTheirPositions) {
  Reply("[F1 ID 32]");
  EXPECT_EQ(C().PositionCount, 6);
  EXPECT_EQ(W().DDL_CuvettePosition->count(), 6);
  EXPECT_TRUE(W().M_Tools_CP_Items[5]->isVisible());
  Reply("[F1 ID 30]");
  EXPECT_EQ(C().PositionCount, 4);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"[F1 PS ?]", "[F1 PS ?]"}));

  C().CuvettePosition = 3;
  C().ReferenceStable = false;
  Reply("[F1 ID 31]");
  EXPECT_TRUE(C().HasChanger);
  EXPECT_TRUE(C().ReferenceStable);
  EXPECT_EQ(C().PositionCount, 4);
  EXPECT_EQ(Items(W().DDL_CuvettePosition), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(W().DDL_CuvettePosition->currentIndex(), 0);
  EXPECT_EQ(C().CuvettePosition, 1);
  EXPECT_TRUE(W().M_Tools_CP_Items[3]->isVisible());
  EXPECT_TRUE(Pending(W(), kStepChangerStartup));
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 PS ?]"});
}

TEST_F(Config, ReturnedIdentityQueryKeepsTheModel) {
  Reply("[F1 ID 12]");
  W().GBox_COMDblClick(W().GBox_COM);
  Reply("[F1 ID ?]");
  EXPECT_EQ(C().ModelId, "12");
  EXPECT_FLOAT_EQ(C().MinTarget, -55.0f);
}

TEST_F(Config, FeatureCharactersSetTheFeatures) {
  Reply("[F1 FS +++--]");
  EXPECT_TRUE(C().HasTemperatureControl);
  EXPECT_TRUE(C().HasStirrers);
  EXPECT_TRUE(C().HasProbe);
  EXPECT_FALSE(C().HasChanger);
  EXPECT_FALSE(Pending(W(), kStepChangerStartup));
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 PS ?]"});

  Reply("[R1 FS ---++]");
  EXPECT_FALSE(C().HasTemperatureControl);
  EXPECT_FALSE(C().HasProbe);
  EXPECT_TRUE(C().HasChanger);
  EXPECT_TRUE(Pending(W(), kStepChangerStartup));
  EXPECT_TRUE(W().M_Tools_Link_RtoS->isChecked());  // the reference holder starts linked
  EXPECT_FALSE(C().ReferenceShown);
  EXPECT_EQ(C().ReferenceControlState, kControlOff);
  EXPECT_TRUE(W().Panel_Plot->isHidden());
  EXPECT_TRUE(Sent().empty());

  Reply("[F2 FS +++++]");  // not a feature reply
  EXPECT_FALSE(C().HasTemperatureControl);
  EXPECT_EQ(f.DisplayLog().back(), "...[F2 FS +++++]");
}

TEST_F(Config, ProbePresence) {
  Reply("[F1 PR +]");
  EXPECT_TRUE(C().HasProbe);
  EXPECT_TRUE(C().ProbePresent);
  EXPECT_FALSE(W().GB_ExtProbe->isHidden());
  EXPECT_TRUE(W().M_Plot_Shown_Probe->isVisible());
  EXPECT_TRUE(W().M_Plot_Shown_Probe->isChecked());
  EXPECT_TRUE(W().M_Data_Load_Probe->isVisible());
  EXPECT_EQ(Sent(), std::vector<std::string>{"[F1 PT +3]"});

  Reply("[F1 PT 20.0]");
  Reply("[F1 PR -]");
  EXPECT_FALSE(C().HasProbe);
  EXPECT_FALSE(C().ProbePresent);
  EXPECT_TRUE(W().GB_ExtProbe->isHidden());
  EXPECT_FALSE(W().M_Plot_Shown_Probe->isVisible());
  EXPECT_FALSE(W().M_Plot_Shown_Probe->isChecked());
  EXPECT_EQ(C().ProbeWindowLast, -1);

  Reply("[F1 PT 20.0]");
  Reply("[F1 PR x]");  // while hidden: only the flags and the window change
  EXPECT_EQ(C().ProbeWindowLast, -1);
  EXPECT_TRUE(W().GB_ExtProbe->isHidden());

  W().Recording.PlotInterval = 0;  // recording stopped: no report interval asked
  Reply("[F1 PR +]");
  EXPECT_TRUE(C().ProbePresent);
  Reply("[R1 PR -]");  // only the sample address reports the probe
  EXPECT_TRUE(C().ProbePresent);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(f.DisplayLog().size(), 6u);  // with the "[F1 PT +3]" sent
}

TEST_F(Config, PositionCountListsThePositionsWithinBounds) {
  Reply("[F1 ID 31]");
  ASSERT_TRUE(FormA::Visible(W().M_Tools_CP));
  Reply("[F2 MP 3]");
  EXPECT_EQ(Items(W().DDL_CuvettePosition), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_EQ(W().DDL_CuvettePosition->geometry().left(), 22);
  EXPECT_EQ(W().DDL_CuvettePosition->width(), 39);
  EXPECT_TRUE(FormA::Visible(W().M_Tools_CP));

  Reply("[F2 MP 12]");
  EXPECT_EQ(C().PositionCount, 12);
  EXPECT_EQ(W().DDL_CuvettePosition->count(), 12);
  EXPECT_EQ(W().DDL_CuvettePosition->currentIndex(), 0);
  EXPECT_FALSE(FormA::Visible(W().M_Tools_CP));
  EXPECT_FALSE(W().M_Tools_S3->isVisible());
  EXPECT_EQ(W().DDL_CuvettePosition->geometry().left(), 12);
  EXPECT_EQ(W().DDL_CuvettePosition->width(), 49);
  // A later arrangement (here the changer reporting its position) must not
  // bring back a menu that cannot offer all twelve positions.
  Reply("[F2 DL 11]");
  EXPECT_FALSE(FormA::Visible(W().M_Tools_CP));
  EXPECT_FALSE(W().M_Tools_S3->isVisible());

  const std::pair<const char*, int> bounded[] = {
      {"[F2 MP 100000]", 99}, {"[F2 MP 0]", 1}, {"[F2 MP -7]", 1}, {"[F2 MP 2147483647]", 99}, {"[F2 MP x]", 99}};
  for (const auto& [reply, count] : bounded) {
    Reply(reply);
    EXPECT_EQ(C().PositionCount, count) << reply;
    EXPECT_EQ(W().DDL_CuvettePosition->count(), count) << reply;
  }
}

TEST_F(Config, ChangerPositionReportsMarkTheChangerSettled) {
  Reply("[F1 ID 31]");
  f.RunStartup();
  W().M_Tools_CP_Items[2]->trigger();
  const auto sent = f.RunStartup();
  ASSERT_EQ(sent.back(), "[F2 PL 3]");
  ASSERT_FALSE(C().PositionSettled);
  Reply("[F2 DL 3]");
  EXPECT_TRUE(C().PositionSettled);
  EXPECT_EQ(C().CuvettePosition, 3);
  EXPECT_EQ(W().DDL_CuvettePosition->currentIndex(), 2);

  Reply("[F2 PL 2]");  // no move pending
  EXPECT_EQ(C().CuvettePosition, 2);
  Reply("[F1 DL 4]");  // not the changer's address
  EXPECT_EQ(C().CuvettePosition, 2);
  C().PositionSettled = false;
  for (const char* absurd : {"[F2 DL -2147483648]", "[F2 DL 0]", "[F2 DL 100]", "[F2 DL x]"}) {
    Reply(absurd);
    EXPECT_EQ(C().CuvettePosition, 2) << absurd;
    EXPECT_TRUE(C().PositionSettled);
  }
  EXPECT_EQ(f.DisplayLog().back(), "...[F2 DL x]");
}

TEST_F(Config, LimitReplies) {
  Reply("[F1 MS 1500]");
  Reply("[F1 LS 100]");
  Reply("[F1 MT 120.5]");
  Reply("[F1 LT -20]");
  for (const char* unreadable : {"[F1 MS x]", "[F1 LS ]", "[F1 MT -]", "[F1 LT abc]"}) Reply(unreadable);
  EXPECT_EQ(C().MaxStirSpeed, 1500);
  EXPECT_EQ(C().MinStirSpeed, 100);
  EXPECT_FLOAT_EQ(C().MaxTarget, 120.5f);
  EXPECT_FLOAT_EQ(C().MinTarget, -20.0f);

  Reply("[F1 HL 45.5]");
  EXPECT_FLOAT_EQ(C().SampleHeLimit, 45.5f);
  EXPECT_FLOAT_EQ(C().ReferenceHeLimit, 45.5f);
  Reply("[F1 HL x]");  // converted as a whole text
  EXPECT_FLOAT_EQ(C().SampleHeLimit, 0.0f);
  EXPECT_EQ(f.DisplayLog().size(), 10u);
}

TEST_F(Config, RampRateTextsPerSideCutToTheirField) {
  Reply("[F1 RR 0.5]");
  Reply("[R1 RR 1.25]");
  EXPECT_EQ(C().SampleRampRateText, "0.5");
  EXPECT_EQ(C().ReferenceRampRateText, "1.25");
  Reply("[X1 RR 0.123456789012]");
  EXPECT_EQ(C().ReferenceRampRateText, "0.1234567");
  Reply("[F1 RR]");
  EXPECT_EQ(C().SampleRampRateText, "");
  EXPECT_EQ(f.DisplayLog().size(), 4u);
}

}  // namespace
}  // namespace vireo::testing
