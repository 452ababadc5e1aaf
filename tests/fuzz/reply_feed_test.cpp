// Random controller traffic, from fixed seeds: whatever arrives, the window
// stays sound and nothing but the series grows without bound.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "fuzz/reply_feed.h"

namespace vireo::testing {
namespace {

TEST(ReplyFeed, RandomTrafficLeavesTheWindowSound) {
  std::size_t records = 0;
  std::size_t commands = 0;
  for (std::uint32_t seed = 1; seed <= 24; ++seed) {
    FormFixture f;
    f.ConnectAndAnswer(seed % 2 ? "[F1 IS 0---]" : "[F1 IS 0++S]");
    std::mt19937 random(seed);
    for (int input = 0; input < 125; ++input) {
      std::vector<std::uint8_t> bytes(16 + random() % 400);
      for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
      ASSERT_EQ(FeedReplies(f, bytes.data(), bytes.size()), "") << "seed " << seed << ", input " << input;
    }
    for (int series = 1; series <= 5; ++series) records += f.SeriesText(series).size();
    commands += f.Sent().size();
  }
  // The traffic reached the interpreter: readings were recorded and replies answered.
  EXPECT_GT(records, 0u);
  EXPECT_GT(commands, 0u);
}

}  // namespace
}  // namespace vireo::testing
