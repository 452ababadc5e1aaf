// The QSerialPort channel over a real pseudo-terminal pair: the test holds
// the master side, the channel opens the slave as its serial port.
#include "controller/qt_serial_channel.h"

#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/wait_until.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <string>
#include <vector>

#include "sim/pseudo_terminal.h"

namespace vireo {
namespace {

using vireo::testing::WaitUntil;

class QtSerialChannelTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "qt_serial_channel_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
  }

  void SetUp() override {
    ASSERT_TRUE(pty.Open());
    channel.SetPort(pty.SlavePath());
    channel.onReceived = [this](int count) { counts.push_back(count); };
    channel.onLost = [this](const std::string& reason) { lost.push_back(reason); };
  }

  void WriteToMaster(const std::string& text) {
    ASSERT_EQ(::write(pty.MasterFd(), text.data(), text.size()), ssize_t(text.size()));
  }

  // What has reached the master so far, waiting up to `timeoutMs` for `expected` bytes.
  std::string ReadFromMaster(std::size_t expected, int timeoutMs = 3000) {
    std::string got;
    WaitUntil(
        [&] {
          char buffer[256];
          const ssize_t n = ::read(pty.MasterFd(), buffer, sizeof buffer);
          if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
          return got.size() >= expected;
        },
        timeoutMs);
    return got;
  }

  std::string ReadAll() {
    std::string got;
    char buffer[64];
    while (const std::size_t n = channel.ReadBuffer(buffer, sizeof buffer)) got.append(buffer, n);
    return got;
  }

  sim::PseudoTerminal pty;
  QtSerialChannel channel;
  std::vector<int> counts;
  std::vector<std::string> lost;
};

TEST_F(QtSerialChannelTest, WrittenBytesReachTheOtherSide) {
  ASSERT_TRUE(channel.Open()) << channel.LastError();
  EXPECT_TRUE(channel.Active());
  channel.WriteBuffer("[F1 IS ?]\r\n", 11);
  channel.WriteChar('x');
  EXPECT_EQ(ReadFromMaster(12), "[F1 IS ?]\r\nx");
}

TEST_F(QtSerialChannelTest, ReceivedBytesAreAnnouncedAndRead) {
  ASSERT_TRUE(channel.Open());
  WriteToMaster("[F1 CT 24.87]\r\n");
  ASSERT_TRUE(WaitUntil([&] { return !counts.empty(); }));
  EXPECT_GT(counts.front(), 0);
  std::string got = ReadAll();
  WaitUntil([&] { return (got += ReadAll()).size() >= 15; });
  EXPECT_EQ(got, "[F1 CT 24.87]\r\n");
}

TEST_F(QtSerialChannelTest, PurgeReadDiscardsWhatWasNotRead) {
  ASSERT_TRUE(channel.Open());
  // Bytes already taken in by the port, and bytes still waiting in the device.
  WriteToMaster("[F1 CT 1.00]\r\n");
  ASSERT_TRUE(WaitUntil([&] { return !counts.empty(); }));
  WriteToMaster("[F1 CT 2.00]\r\n");
  QThread::msleep(50);
  channel.PurgeRead();
  WaitUntil([] { return false; }, 200);
  EXPECT_EQ(ReadAll(), "");
  WriteToMaster("[F1 CT 3.00]\r\n");
  std::string got;
  WaitUntil([&] { return (got += ReadAll()).size() >= 14; });
  EXPECT_EQ(got, "[F1 CT 3.00]\r\n");
}

TEST_F(QtSerialChannelTest, MissingDeviceFailsAndLeavesTheChannelInactive) {
  channel.SetPort("/dev/vireo-no-such-port");
  EXPECT_FALSE(channel.Open());
  EXPECT_FALSE(channel.Active());
  EXPECT_FALSE(channel.LastError().empty());
  channel.WriteBuffer("x", 1);  // ignored while closed
}

// As root the device's exclusive mode (TIOCEXCL) does not stop a second
// open; QSerialPort's lock file (LCK..pts_N) does.
TEST_F(QtSerialChannelTest, SecondOpenOfAHeldPortFails) {
  ASSERT_TRUE(channel.Open());
  QtSerialChannel second;
  second.SetPort(pty.SlavePath());
  EXPECT_FALSE(second.Open());
  EXPECT_FALSE(second.Active());
  EXPECT_FALSE(second.LastError().empty());
  EXPECT_TRUE(channel.Active());
  // Once the first lets go, the port can be had again.
  channel.Close();
  EXPECT_TRUE(second.Open()) << second.LastError();
}

TEST_F(QtSerialChannelTest, ClosingAClosedChannelDoesNothing) {
  channel.Close();
  EXPECT_FALSE(channel.Active());
  ASSERT_TRUE(channel.Open());
  channel.Close();
  channel.Close();
  EXPECT_FALSE(channel.Active());
  EXPECT_TRUE(lost.empty());
  EXPECT_TRUE(channel.Open()) << channel.LastError();
}

TEST_F(QtSerialChannelTest, LinkLostWhenTheOtherSideCloses) {
  ASSERT_TRUE(channel.Open());
  pty.Close();
  EXPECT_TRUE(WaitUntil([&] { return !lost.empty(); }));
  EXPECT_EQ(lost.size(), 1u);
  EXPECT_FALSE(channel.Active());
}

}  // namespace
}  // namespace vireo
