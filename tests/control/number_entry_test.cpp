// The entry check of the parameter dialog, the conversions that follow it,
// and the text copies between toolkit and single-byte buffers.
#include "control/number_entry.h"

#include <gtest/gtest.h>

#include <cfloat>

#include "control/text_helpers.h"
#include "support/fakes.h"

namespace vireo::testing {
namespace {

TEST(CheckNumberEntry, AcceptsTheFormOfANumberAndRefusesTheRestWithOneMessage) {
  const struct {
    const char* text;
    bool accepted;
  } cases[] = {
      {"25", true},   {"-3.5", true}, {"+.5", true},  {"1e5", true},   {"1E-3", true},  {"1e3-", true},
      {".", true},    {"+", true},    {"-", true},    {"e", true},     {"-e-", true},   {"", false},
      {" 25", false}, {"25 ", false}, {"1,5", false}, {"1.2.3", false}, {"1e2e3", false}, {"1-", false},
      {"--1", false}, {"1e--", false}, {"abc", false}, {"1.e2.", false},
  };
  for (const auto& c : cases) {
    ScriptedDialogs dialogs;
    EXPECT_EQ(CheckNumberEntry(c.text, dialogs), c.accepted) << '"' << c.text << '"';
    ASSERT_EQ(dialogs.shown.size(), c.accepted ? 0u : 1u) << c.text;
    if (!c.accepted) {
      EXPECT_EQ(dialogs.shown[0].text, "Invalid floating point number.\nTry again.");
      EXPECT_EQ(dialogs.shown[0].caption, "Entry error");
      EXPECT_EQ(dialogs.shown[0].buttons, Buttons::Ok);
    }
  }
}

TEST(ConvertFloat, ReadsWholeNumbersOnly) {
  const struct {
    const char* text;
    std::optional<float> value;
  } cases[] = {
      {"25", 25.0f}, {"-3.5", -3.5f}, {"+.5", 0.5f}, {"1e5", 1e5f}, {"1E-3", 1e-3f}, {"5.", 5.0f},
      {"1e50", FLT_MAX}, {"-1e50", -FLT_MAX},
      {".", std::nullopt}, {"e", std::nullopt}, {"+", std::nullopt}, {"-e-", std::nullopt},
      {"1e3-", std::nullopt}, {"1e", std::nullopt}, {"1e+", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertFloat(c.text), c.value) << c.text;
  EXPECT_EQ(FloatConversionError("."), "'.' is not a valid floating point value");
}

TEST(ConvertInteger, ReadsWholeIntegersWithinThirtyTwoBits) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"1250", 1250},          {"-5", -5},          {"+7", 7},          {"-2147483648", INT32_MIN},
      {"2.5", std::nullopt},   {"1e3", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt},
      {"2147483648", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ConvertInteger(c.text), c.value) << c.text;
  EXPECT_EQ(IntegerConversionError("2.5"), "'2.5' is not a valid integer value");
}

TEST(TextCopies, KeepSizeMinusOneCharactersAndAlwaysTerminate) {
  const std::u16string wide = u"1234567890123456789012345";
  char narrow[20];
  std::memset(narrow, 'x', sizeof narrow);
  NarrowCopy(wide, narrow, sizeof narrow);
  EXPECT_EQ(std::string(narrow), "1234567890123456789");

  char16_t back[20];
  WidenCopy("1234567890123456789012345", back, 20);
  EXPECT_EQ(std::u16string(back), u"1234567890123456789");

  // Narrowing keeps the low byte; widening puts a zero high byte.
  char deg[4];
  NarrowCopy(u"\u00B0\u0141", deg, sizeof deg);
  EXPECT_EQ(std::string(deg), "\xB0\x41");
  char16_t wideDeg[3];
  WidenCopy("\xB0" "C", wideDeg, 3);
  EXPECT_EQ(std::u16string(wideDeg), u"\u00B0C");
}

}  // namespace
}  // namespace vireo::testing
