// The built vireo-controller-sim, driven through the program's own serial channel.
#include <gtest/gtest.h>

#include "sim/sim_process.h"

#include <string>

#include "controller/qt_serial_channel.h"

namespace vireo {
namespace {

using namespace vireo::testing;

TEST(ControllerSimExecutable, ServesTheProgramThroughItsSerialChannel) {
  QProcess sim;
  const std::string path = StartSimulator(sim, "vireo-controller-sim", {QStringLiteral("model=32,accel=2")});
  ASSERT_FALSE(path.empty());

  QtSerialChannel channel;
  std::string received;
  channel.onReceived = [&](int count) {
    EXPECT_GT(count, 0);
    char chunk[100];
    while (const std::size_t n = channel.ReadBuffer(chunk, sizeof chunk)) received.append(chunk, n);
  };
  channel.SetPort(path);
  ASSERT_TRUE(channel.Open()) << channel.LastError();
  const auto exchange = [&](const std::string& command, const std::string& reply) {
    received.clear();
    const std::string line = command + "\r\n";
    channel.WriteBuffer(line.data(), line.size());
    EXPECT_TRUE(WaitUntil([&] { return received.find('\n') != std::string::npos; })) << command;
    EXPECT_EQ(received, reply + "\r\n") << command;
  };
  exchange("[F1 VN ?]", "[F1 VN 2.30]");
  exchange("[F1 ID ?]", "[F1 ID 32]");
  exchange("[F2 MP ?]", "[F2 MP 6]");
  exchange("[F2 PL 3]", "[F2 DL 3]");  // a second of simulated move time
  channel.Close();
  ExpectCleanStop(sim);
}

TEST(ControllerSimExecutable, HelpAndBadOptions) {
  ExpectHelpAndRefusal("vireo-controller-sim", "accel=", QStringLiteral("model=9"));
}

}  // namespace
}  // namespace vireo
