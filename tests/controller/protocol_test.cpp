#include "controller/protocol.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vireo {
namespace {

TEST(ProtocolFields, FixedPositions) {
  const std::string_view reply = "[F1 TT 25.00]";
  EXPECT_TRUE(AddressIs(reply, "F1"));
  EXPECT_TRUE(CodeIs(reply, "TT"));
  EXPECT_EQ(Argument(reply), "25.00");
  EXPECT_TRUE(IsSampleSide(reply));
  EXPECT_FALSE(IsSampleSide("[R1 CT 25.00]"));
  // Only "F" selects the sample side.
  EXPECT_FALSE(IsSampleSide("[X1 CT 25.00]"));
}

TEST(ProtocolFields, ShortRepliesNeverReadPastTheirEnd) {
  EXPECT_EQ(CharAt("[]", 4), '\0');
  EXPECT_FALSE(CodeIs("[F1]", "IS"));
  EXPECT_EQ(Argument("[F2 DI]"), "");
  EXPECT_EQ(Argument("[F1 IS"), "");
  EXPECT_FALSE(ReadFloatAt("[]", kArgumentPos).has_value());
}

TEST(ProtocolNumbers, LeadingDecimalNumberUpToTheBracket) {
  EXPECT_FLOAT_EQ(*ReadFloatAt("[F1 CT 24.87]", 7), 24.87f);
  EXPECT_FLOAT_EQ(*ReadFloatAt("[F1 CT -3.5xyz]", 7), -3.5f);
  EXPECT_FLOAT_EQ(*ReadFloatAt("[F1 CT   +12]", 7), 12.0f);
  EXPECT_FLOAT_EQ(*ReadFloatAt("[F1 CT 1e2]", 7), 100.0f);
  EXPECT_FLOAT_EQ(*ReadFloatAt("[F1 CT 1e]", 7), 1.0f);  // an exponent needs digits
  EXPECT_FLOAT_EQ(*ReadFloatAt("[F1 CT .5]", 7), 0.5f);
  EXPECT_FALSE(ReadFloatAt("[F1 CT NA]", 7).has_value());
  EXPECT_FALSE(ReadFloatAt("[F1 CT -]", 7).has_value());
  EXPECT_FALSE(ReadFloatAt("[F1 CT .]", 7).has_value());
  // The number ends at the "]": nothing after it is read.
  EXPECT_FLOAT_EQ(*ReadFloatAt("[F1 CT 2]5", 7), 2.0f);
  // A TT reply repeating a set command is read from character 9.
  EXPECT_FLOAT_EQ(*ReadFloatAt("[F1 TT S 25.00]", 9), 25.0f);
}

TEST(ProtocolNumbers, IntegersStopAtTheFirstOtherCharacter) {
  EXPECT_EQ(*ReadIntAt("[F1 SS 1250]", 7), 1250);
  EXPECT_EQ(*ReadIntAt("[F2 DL 3.9]", 7), 3);
  EXPECT_EQ(*ReadIntAt("[F2 MP -4]", 7), -4);
  EXPECT_FALSE(ReadIntAt("[F1 SS S 800]", 7).has_value());
  EXPECT_EQ(*ParseLeadingInt("99999999999"), INT32_MAX);  // saturates, never wraps
  EXPECT_EQ(*ParseLeadingInt("-99999999999"), INT32_MIN);
}

TEST(ProtocolNumbers, NumbersBeyondSinglePrecisionAreNoReading) {
  EXPECT_FALSE(ParseLeadingFloat("1e999").has_value());
  EXPECT_FALSE(ParseLeadingFloat("-1e39").has_value());
  EXPECT_EQ(*ParseLeadingFloat("1e-999"), 0.0f);  // an underflow reads as zero, as strtod does
  EXPECT_FLOAT_EQ(*ParseLeadingFloat("3.4e38"), 3.4e38f);
}

TEST(ProtocolCommands, EveryFormTheProgramSends) {
  EXPECT_EQ(QueryCommand("F1", "VN"), "[F1 VN ?]");
  EXPECT_EQ(SwitchCommand("R1", "TC", true), "[R1 TC +]");
  EXPECT_EQ(SwitchCommand("F1", "SS", false), "[F1 SS -]");
  EXPECT_EQ(ReportIntervalCommand("F1", "CT", 3), "[F1 CT +3]");
  // A report interval of 0 is never sent as "+0".
  EXPECT_EQ(ReportIntervalCommand("R1", "HT", 0), "[R1 HT -]");
  EXPECT_EQ(SetCommand("F1", "SS", "800"), "[F1 SS S 800]");
  EXPECT_EQ(TargetCommand("F1", 25.0f), "[F1 TT S 25.00]");
  EXPECT_EQ(TargetCommand("R1", -5.125f), "[R1 TT S -5.12]");
  EXPECT_EQ(PositionCommand(4), "[F2 PL 4]");
  EXPECT_EQ(kHomeCommand, "[F2 DI]");
  EXPECT_EQ(WithAddress("[F1 TT S 37.00]", "R1"), "[R1 TT S 37.00]");
}

TEST(ProtocolErrors, TextsAsStoredAndIgnoredNumbers) {
  EXPECT_STREQ(ErrorText(8), "Error 8: inadequate coolant (check flow).  Temperature control has shut down.");
  EXPECT_STREQ(ErrorText(6), "Error 6: cell T and heat exchanger T out of range.  (Loose cable?)");
  EXPECT_STREQ(ErrorText(10), "Error 10: cell T exceeded max allowed. Temperature control has shut down.");
  EXPECT_EQ(ErrorText(0), nullptr);
  EXPECT_EQ(ErrorText(9), nullptr);
  EXPECT_EQ(ErrorText(11), nullptr);
  EXPECT_EQ(ErrorText(-1), nullptr);
}

TEST(ProtocolStatus, FourCharacters) {
  auto s = ReadStatus("[F1 IS 0++S]");
  EXPECT_FALSE(s.restarted);
  EXPECT_FALSE(s.errorPending);
  EXPECT_TRUE(s.stirrerOn);
  EXPECT_TRUE(s.controlOn);
  EXPECT_TRUE(s.stable);
  s = ReadStatus("[R1 IS 1-+-]");
  EXPECT_TRUE(s.errorPending);
  EXPECT_FALSE(s.stirrerOn);
  EXPECT_TRUE(s.controlOn);
  EXPECT_FALSE(s.stable);
  EXPECT_TRUE(ReadStatus("[F1 IS R]").restarted);
  EXPECT_FALSE(ReadStatus("[F1 IS +---]").errorPending);
  EXPECT_FALSE(ReadStatus("[F1 IS ?]").errorPending);
}

}  // namespace
}  // namespace vireo
