#include "sim/controller_model.h"
#include "sim/sim_test_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace vireo::sim {
namespace {

using Exchange = std::pair<const char*, const char*>;

void ExpectReplies(ControllerModel& m, std::initializer_list<Exchange> exchanges) {
  for (const auto& [command, reply] : exchanges) EXPECT_EQ(Ask(m, command), std::string(reply) + "\r\n") << command;
}

TEST(ControllerReplies, StartUpQueriesOfATwoHolderController) {
  ControllerModel m(Config(""));
  ExpectReplies(m, {{"[F1 VN ?]", "[F1 VN 2.30]"},    {"[F1 ID ?]", "[F1 ID 24]"},      {"[F1 TT ?]", "[F1 TT 20.00]"},
                    {"[F1 IS +]", "[F1 IS 0---]"},    {"[F1 ER +]", "[F1 ER +]"},       {"[F1 TT +]", "[F1 TT 20.00]"},
                    {"[F1 PS +]", "[F1 PR +]"},       {"[F1 FP +]", "[F1 FP +]"},       {"[F1 HL ?]", "[F1 HL 60.00]"},
                    {"[F1 MS ?]", "[F1 MS 1400]"},    {"[F1 LS ?]", "[F1 LS 200]"},     {"[F1 SS ?]", "[F1 SS 800]"},
                    {"[F1 MT ?]", "[F1 MT 105.00]"},  {"[F1 LT ?]", "[F1 LT -40.00]"},  {"[R1 IS ?]", "[R1 IS 0---]"},
                    {"[R1 TT ?]", "[R1 TT 20.00]"},   {"[R1 SS S 900]", "[R1 SS 900]"}, {"[F1 FS ?]", "[F1 FS +++-+]"},
                    {"[F1 DP ?]", "[F1 DP 2]"},       {"[F1 TL +]", "[F1 TL +]"},       {"[F1 PX ?]", "[F1 PX -]"}});
}

TEST(ControllerReplies, SetCommandsAnswerTheAcceptedValue) {
  ControllerModel m(Config(""));
  ExpectReplies(m, {{"[F1 TC +]", "[F1 TC +]"},
                    {"[F1 TT S 25]", "[F1 TT 25.00]"},
                    {"[F1 TT S 500]", "[F1 TT 105.00]"},  // clamped to the limits
                    {"[F1 SS S 50]", "[F1 SS 200]"},
                    {"[F1 SS S 5000]", "[F1 SS 1400]"},
                    {"[F1 SS +]", "[F1 SS +]"},
                    {"[F1 RR S  0.5]", "[F1 RR 0.50]"},  // a blank where the program dropped a minus
                    {"[F1 RR 0]", "[F1 RR 0.00]"},
                    {"[F1 RS S 6]", "[F1 RS 6]"},
                    {"[R1 RT S 5]", "[R1 RT 5]"},
                    {"[F1 DP S 3]", "[F1 DP 3]"}});
  EXPECT_TRUE(m.ControlOn(Holder::kSample));
  EXPECT_FALSE(m.ControlOn(Holder::kReference));
  EXPECT_DOUBLE_EQ(m.Target(Holder::kSample), 105.0);
  EXPECT_TRUE(m.StirrerOn(Holder::kSample));
  EXPECT_EQ(m.StirrerSpeed(Holder::kSample), 1400);
  // Three decimals now: "[F1 CT 22.000]".
  const std::string reading = Ask(m, "[F1 CT ?]");
  EXPECT_EQ(reading.find('.'), reading.size() - 7) << reading;
}

TEST(ControllerReplies, ModelDecidesLimitsHoldersAndChanger) {
  ControllerModel extended(Config("model=22"));
  ExpectReplies(extended, {{"[F1 MT ?]", "[F1 MT 150.00]"}, {"[F1 LT ?]", "[F1 LT -55.00]"}});
  ControllerModel slowStirrer(Config("model=13"));
  ExpectReplies(slowStirrer, {{"[F1 LS ?]", "[F1 LS 0]"}, {"[F1 SS S 0]", "[F1 SS 0]"}});
  ControllerModel changer(Config("model=32"));
  ExpectReplies(changer, {{"[F2 MP ?]", "[F2 MP 6]"}, {"[F2 DL ?]", "[F2 DL 1]"}, {"[F1 FS ?]", "[F1 FS ++++-]"}});
  // One holder, no changer: reference, changer and link commands are refused.
  ControllerModel single(Config("model=10"));
  ExpectReplies(single, {{"[R1 TT ?]", "[F1 ER 9]"}, {"[F2 MP ?]", "[F1 ER 9]"}, {"[F1 TL +]", "[F1 ER 9]"}});
  ControllerModel overridden(Config("model=31,changer=12,maxspeed=1000,helimit=45"));
  ExpectReplies(overridden, {{"[F2 MP ?]", "[F2 MP 12]"}, {"[F1 MS ?]", "[F1 MS 1000]"}, {"[F1 HL ?]", "[F1 HL 45.00]"}});
}

TEST(ControllerReplies, MalformedUnknownAndMisaddressedCommandsGetFormatErrors) {
  ControllerModel m(Config("model=30"));
  ExpectReplies(m, {{"[F1 XX ?]", "[F1 ER 9]"},      {"[F1TT ?]", "[F1 ER 9]"},     {"[F1 TT]", "[F1 ER 9]"},
                    {"[F1 TT ]", "[F1 ER 9]"},       {"[F1 tt ?]", "[F1 ER 9]"},    {"[F1 TT X]", "[F1 ER 9]"},
                    {"[F1 TT S abc]", "[F1 ER 9]"},  {"[F1 CT +x]", "[F1 ER 9]"},   {"[F1 CT +9999]", "[F1 ER 9]"},
                    {"[F1 VN +]", "[F1 ER 9]"},      {"[F1 DP S 7]", "[F1 ER 9]"},  {"[F1 RR S -1]", "[F1 ER 9]"},
                    {"[Z9 TT ?]", "[F1 ER 9]"},      {"[*D 8]", "[F1 ER 9]"},       {"[F2 PL 5]", "[F2 ER 9]"},
                    {"[F2 PL 0]", "[F2 ER 9]"},      {"[F2 TT ?]", "[F2 ER 9]"},    {"[F1 DI]", "[F1 ER 9]"}});
  // A line end inside a frame cuts the command short; an endless frame is dropped once.
  EXPECT_EQ(m.Receive("[F1 TT\r\n"), "[F1 ER 9]\r\n");
  EXPECT_EQ(m.Receive("[F1 " + std::string(1000, 'x') + "]"), "[F1 ER 9]\r\n");
  EXPECT_EQ(Ask(m, "[F1 VN ?]"), "[F1 VN 2.30]\r\n");
}

TEST(ControllerFraming, FramesAcrossChunksWithLineEndsAndStrayBytesBetween) {
  ControllerModel m(Config(""));
  EXPECT_EQ(m.Receive("noise]\r\n  \r\n[F1 V"), "");
  EXPECT_EQ(m.Receive("N ?]\r\n]]x[F1 ID ?][F1 DP ?]"), "[F1 VN 2.30]\r\n[F1 ID 24]\r\n[F1 DP 2]\r\n");
  // A new "[" abandons an unfinished frame.
  EXPECT_EQ(m.Receive("[F1 TC [F1 TC ?]"), "[F1 TC -]\r\n");
}

TEST(ControllerEcho, ReturnsEveryLineUnchangedAndNothingElse) {
  ControllerModel m(Config("echo"));
  EXPECT_EQ(m.Receive("[F1 IS ?]\r\n[F1 TC +]\r\n"), "[F1 IS ?]\r\n[F1 TC +]\r\n");
  EXPECT_FALSE(m.ControlOn(Holder::kSample));
  EXPECT_EQ(Ask(m, "[F1 CT +1]"), "[F1 CT +1]\r\n");
  EXPECT_EQ(m.Advance(60'000), "");
}

TEST(ControllerFaults, ErrorIsPendingUntilAskedAndCoolantErrorStopsControl) {
  ControllerModel m(Config(""));
  Ask(m, "[F1 IS +]");
  Ask(m, "[F1 ER +]");
  EXPECT_EQ(Ask(m, "[F1 TC +]"), "[F1 TC +]\r\n[F1 IS 0-+-]\r\n");
  m.InjectError(Holder::kSample, 8);
  EXPECT_EQ(m.Advance(0), "[F1 ER 8]\r\n[F1 IS 1---]\r\n");
  EXPECT_FALSE(m.ControlOn(Holder::kSample));
  EXPECT_EQ(Ask(m, "[F1 ER ?]"), "[F1 ER 8]\r\n[F1 IS 0---]\r\n");
  EXPECT_EQ(Ask(m, "[F1 ER ?]"), "[F1 ER 0]\r\n");
  // Other errors leave control on; the reference holder has its own.
  Ask(m, "[R1 TC +]");
  m.InjectError(Holder::kReference, 5);
  EXPECT_TRUE(m.ControlOn(Holder::kReference));
  ExpectReplies(m, {{"[R1 IS ?]", "[R1 IS 1-+-]"}, {"[F1 IS ?]", "[F1 IS 0---]"}, {"[R1 ER ?]", "[R1 ER 5]"}});
}

TEST(ControllerFaults, RestartIsReportedOnceAndComesBackWithPowerOnSettings) {
  ControllerModel m(Config(""));
  ExpectReplies(m, {{"[F1 TC +]", "[F1 TC +]"}, {"[F1 TT S 30]", "[F1 TT 30.00]"}, {"[F1 DP S 1]", "[F1 DP 1]"}});
  Ask(m, "[F1 CT +1]");
  m.InjectRestart();
  ExpectReplies(m, {{"[F1 IS ?]", "[F1 IS R---]"}, {"[F1 IS ?]", "[F1 IS 0---]"}, {"[F1 TT ?]", "[F1 TT 20.00]"}});
  EXPECT_EQ(m.Advance(5000), "");  // reports are off again

  ControllerModel restarted(Config("restart"));
  ExpectReplies(restarted, {{"[F1 IS +]", "[F1 IS R---]"}, {"[F1 IS ?]", "[F1 IS 0---]"}});
}

TEST(ControllerFaults, ScheduledErrorAndProbePresence) {
  ControllerModel m(Config("error=10,errorafter=30,probe=0"));
  ExpectReplies(m, {{"[F1 PS +]", "[F1 PR -]"}, {"[F1 PT ?]", "[F1 PT NA]"}});
  m.Advance(29'900);
  EXPECT_EQ(m.PendingError(Holder::kSample), 0);
  m.Advance(100);
  EXPECT_EQ(m.PendingError(Holder::kSample), 10);
  m.SetProbeConnected(true);
  EXPECT_EQ(m.Advance(0), "[F1 PR +]\r\n");
  EXPECT_EQ(m.Advance(1000), "");
}

}  // namespace
}  // namespace vireo::sim
