// The lost-link watch's rules that the window tests do not reach: the
// silence limit for each report interval, the order of the ports tried, and
// that each loss and each return is told once.
#include "controller/link_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vireo {
namespace {

TEST(LinkWatch, SilenceLimitIsThreeReportIntervalsAndFiveSeconds) {
  const std::pair<int, std::uint32_t> cases[] = {{0, 0}, {-1, 0}, {1, 8000}, {3, 14000}, {60, 185000}};
  for (const auto& [interval, limit] : cases) EXPECT_EQ(SilenceLimitMs(interval), limit) << interval;
}

TEST(LinkWatch, TriesTheLostPortThriceThenTheOthersInTheSearchsOrder) {
  LinkWatch watch;
  watch.Connected(0, "ttyUSB1");
  std::vector<std::string> tried;
  for (int i = 0; i < 10; ++i) tried.push_back(watch.NextPort({"ttyUSB0", "ttyUSB1", "ttyACM0"}));
  EXPECT_EQ(tried, (std::vector<std::string>{"ttyUSB1", "ttyUSB1", "ttyUSB1", "ttyACM0", "ttyUSB0", "ttyUSB1",
                                             "ttyUSB1", "ttyUSB1", "ttyACM0", "ttyUSB0"}));
  EXPECT_EQ(watch.NextPort({}), "ttyUSB1");  // no list: the lost port alone
}

TEST(LinkWatch, EachLossAndEachReturnIsToldOnce) {
  LinkWatch watch;
  EXPECT_FALSE(watch.ChannelFailed(0));  // nothing connected: nothing watched
  EXPECT_EQ(watch.Tick(100000, 3), LinkAction::None);
  watch.Connected(1000, "ttyUSB0");
  EXPECT_EQ(watch.Tick(14999, 3), LinkAction::None);
  EXPECT_EQ(watch.Tick(15000, 3), LinkAction::Lost);
  EXPECT_FALSE(watch.ChannelFailed(15100));  // already lost: no second notice
  EXPECT_EQ(watch.Tick(18000, 3), LinkAction::None);
  EXPECT_EQ(watch.Tick(18100, 3), LinkAction::Reopen);
  watch.Reopened(18100, watch.NextPort({}));
  EXPECT_EQ(watch.Tick(18300, 3), LinkAction::Probe);
  EXPECT_TRUE(watch.ReplyArrived(18400));
  EXPECT_FALSE(watch.ReplyArrived(18500));  // read again once
  EXPECT_TRUE(watch.Lost());                // until the reading has ended
  EXPECT_TRUE(watch.ReadingDone(21000));
  EXPECT_FALSE(watch.ReadingDone(21200));
  EXPECT_FALSE(watch.Lost());
  // Tick counts wrap at 2^32 like the system's.
  watch.Connected(0xFFFFF000u, "ttyUSB0");
  EXPECT_EQ(watch.Tick(0x00001000u, 3), LinkAction::None);
}

}  // namespace
}  // namespace vireo
