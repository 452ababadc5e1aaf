#include "recording/record_format.h"

#include <gtest/gtest.h>

namespace vireo {
namespace {

TEST(RecordFormat, InitialLayout) {
  const RecordFormats formats;
  // A blank, 0.045, a tab, a blank and 24.34.
  EXPECT_EQ(FormatRecord(formats.Sample, 0.045f, 24.34f), " 0.045\t 24.34");
  EXPECT_EQ(FormatRecord(formats.Reference, 123.4567f, -5.0f), "123.457\t -5.00");
}

TEST(RecordFormat, FormatBySeries) {
  RecordFormats formats;
  formats.Sample = "S";
  formats.Probe = "P";
  formats.Reference = "R";
  EXPECT_EQ(RecordFormatFor(formats, 1), "S");
  EXPECT_EQ(RecordFormatFor(formats, 2), "R");
  EXPECT_EQ(RecordFormatFor(formats, 3), "P");
  EXPECT_EQ(RecordFormatFor(formats, 4), "R");
  EXPECT_EQ(RecordFormatFor(formats, 5), "R");
}

TEST(RecordFormat, ElapsedMinutesSurviveTheTickWrap) {
  EXPECT_EQ(ElapsedMinutes(61000, 1000), 1.0f);
  EXPECT_EQ(ElapsedMinutes(1000, 1000), 0.0f);
  EXPECT_FLOAT_EQ(ElapsedMinutes(2700, 0), 0.045f);
  // The tick count wrapped 60 s after the time base.
  EXPECT_EQ(ElapsedMinutes(0, 0xFFFFFFFFu - 59999u), 1.0f);
  EXPECT_EQ(ElapsedMinutes(30000, 0xFFFFFFFFu - 29999u), 1.0f);
}

TEST(RecordDecimals, NewerFirmwareChangesOnlyTheSampleHolder) {
  RecordFormats formats;
  SetRecordDecimals(formats, '3', 7.0f);
  EXPECT_EQ(formats.Sample, "%6.4f\t%6.3f");
  EXPECT_EQ(formats.Probe, kInitialRecordFormat);
  EXPECT_EQ(formats.Reference, kInitialRecordFormat);
  EXPECT_EQ(FormatRecord(formats.Sample, 0.045f, 24.34f), "0.0450\t24.340");
}

TEST(RecordDecimals, OlderFirmwareChangesEverySeriesForOneToFour) {
  RecordFormats formats;
  SetRecordDecimals(formats, '3', 6.5f);
  EXPECT_EQ(formats.Sample, "%6.4f\t%6.3f");
  EXPECT_EQ(formats.Probe, "%6.4f\t%6.3f");
  EXPECT_EQ(formats.Reference, "%6.4f\t%6.3f");

  RecordFormats five;
  SetRecordDecimals(five, '5', 6.5f);
  EXPECT_EQ(five.Sample, "%6.4f\t%6.5f");
  EXPECT_EQ(five.Probe, kInitialRecordFormat);
  EXPECT_EQ(five.Reference, kInitialRecordFormat);

  RecordFormats zero;
  SetRecordDecimals(zero, '0', 6.5f);
  EXPECT_EQ(zero.Sample, "%6.4f\t%6.0f");
  EXPECT_EQ(zero.Reference, kInitialRecordFormat);
}

TEST(RecordDecimals, AnythingButADigitKeepsTheFormatsSafe) {
  for (const char c : {'n', '*', '%', 's', ' ', '\0', ']', '-'}) {
    RecordFormats formats;
    SetRecordDecimals(formats, c, 6.5f);
    EXPECT_EQ(formats.Sample, "%6.4f\t%6.2f") << static_cast<int>(c);
    EXPECT_EQ(formats.Probe, kInitialRecordFormat);
    EXPECT_EQ(formats.Reference, kInitialRecordFormat);
    EXPECT_EQ(FormatRecord(formats.Sample, 1.5f, 20.0f), "1.5000\t 20.00");
  }
}

}  // namespace
}  // namespace vireo
