#include "sim/controller_options.h"

#include <gtest/gtest.h>

#include <string>

namespace vireo::sim {
namespace {

TEST(ControllerOptions, ReadsEveryKey) {
  ControllerConfig c;
  ASSERT_TRUE(ParseControllerOptions(
      " model=22, firmware=7.2,probe=0,changer=6,accel=20,echo,restart,seed=9,error=8,errorafter=12.5,"
      "mintarget=-10,maxtarget=90,minspeed=100,maxspeed=1200,helimit=50,,",
      c, nullptr));
  EXPECT_EQ(c.model, "22");
  EXPECT_DOUBLE_EQ(c.firmware, 7.2);
  EXPECT_FALSE(c.probeConnected);
  EXPECT_EQ(EffectiveChangerPositions(c), 6);
  EXPECT_DOUBLE_EQ(c.acceleration, 20.0);
  EXPECT_TRUE(c.echo);
  EXPECT_TRUE(c.reportRestart);
  EXPECT_EQ(c.seed, 9u);
  EXPECT_EQ(c.injectError, 8);
  EXPECT_DOUBLE_EQ(c.errorAfterSeconds, 12.5);
  const ControllerLimits limits = EffectiveLimits(c);
  EXPECT_DOUBLE_EQ(limits.minTarget, -10.0);
  EXPECT_DOUBLE_EQ(limits.maxTarget, 90.0);
  EXPECT_EQ(limits.minSpeed, 100);
  EXPECT_EQ(limits.maxSpeed, 1200);
  EXPECT_DOUBLE_EQ(limits.heLimit, 50.0);
  EXPECT_TRUE(HasReferenceHolder(c));
}

TEST(ControllerOptions, BadOptionsAreRefusedAndChangeNothing) {
  for (const char* text : {"model=2", "model=2x", "firmware=x", "firmware=1.0abc", "accel=0", "accel=5000", "bogus=1",
                           "probe=2", "changer=-1", "changer=100", "error=11", "echo=yes", "model", "mintarget=50,maxtarget=40",
                           "minspeed=1500", "seed=-1"}) {
    ControllerConfig c;
    std::string error;
    EXPECT_FALSE(ParseControllerOptions("firmware=5," + std::string(text), c, &error)) << text;
    EXPECT_DOUBLE_EQ(c.firmware, 2.3) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

}  // namespace
}  // namespace vireo::sim
