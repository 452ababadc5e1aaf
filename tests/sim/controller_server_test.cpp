// The server over a real pseudo-terminal, seen from the program's side with
// plain POSIX calls.
#include "sim/controller_server.h"
#include "sim/pty_port.h"
#include "sim/sim_test_helpers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace vireo::sim {
namespace {

TEST(ControllerServer, AnswersOnThePseudoTerminalUntilStopped) {
  ControllerServer server(Config("model=32"));
  ASSERT_TRUE(server.Start()) << server.LastError();
  EXPECT_FALSE(server.Start());
  EXPECT_TRUE(server.Running());
  Port port(server.DevicePath());
  ASSERT_TRUE(port.IsOpen()) << server.DevicePath();
  port.Write("[F1 VN ?]\r\n[F1 ID ?]\r\n");
  EXPECT_EQ(port.ReadUntil("[F1 ID 32]\r\n"), "[F1 VN 2.30]\r\n[F1 ID 32]\r\n");
  // The changer's answer comes from the server's own clock, a second later.
  port.Write("[F2 PL 2]\r\n");
  EXPECT_EQ(port.ReadUntil("\n"), "[F2 DL 2]\r\n");

  server.Stop();
  EXPECT_FALSE(server.Running());
  EXPECT_EQ(server.DevicePath(), "");
  port.ReadUntil("never", 1000);
  EXPECT_TRUE(port.ended);  // the program sees the link drop

  ASSERT_TRUE(server.Start());  // and it can serve again, in power-on state
  Port again(server.DevicePath());
  again.Write("[F1 IS ?]\r\n");
  EXPECT_EQ(again.ReadUntil("\n"), "[F1 IS 0---]\r\n");
}

TEST(ControllerServer, KeepsServingWhenTheProgramStopsReading) {
  ControllerServer server(Config("accel=1000"));
  ASSERT_TRUE(server.Start());
  Port port(server.DevicePath());
  port.Write("[F1 CT +1]\r\n[F1 HT +1]\r\n[F1 PT +1]\r\n");
  // Several thousand reports a second pile up unread.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  port.ReadUntil("never", 300);
  port.Write("[F1 CT -]\r\n[F1 HT -]\r\n[F1 PT -]\r\n[F1 VN ?]\r\n");
  EXPECT_NE(port.ReadUntil("[F1 VN 2.30]\r\n").find("[F1 VN 2.30]\r\n"), std::string::npos);
  server.Stop();
  EXPECT_FALSE(server.Running());
}

}  // namespace
}  // namespace vireo::sim
