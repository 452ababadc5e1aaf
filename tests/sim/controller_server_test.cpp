// The server over a real pseudo-terminal, seen from the program's side with
// plain POSIX calls.
#include "sim/controller_server.h"
#include "sim/sim_test_helpers.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace vireo::sim {
namespace {

// The program's end of the link: the slave device, raw and non-blocking.
class Port {
 public:
  explicit Port(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
    termios raw{};
    if (fd_ >= 0 && tcgetattr(fd_, &raw) == 0) {
      cfmakeraw(&raw);
      tcsetattr(fd_, TCSANOW, &raw);
    }
  }
  ~Port() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool IsOpen() const { return fd_ >= 0; }
  void Write(const std::string& text) { ASSERT_EQ(::write(fd_, text.data(), text.size()), ssize_t(text.size())); }
  // Reads until `until` has arrived, the link ends or the time is up.
  std::string ReadUntil(std::string_view until, int timeoutMs = 3000) {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got.find(until) == std::string::npos && std::chrono::steady_clock::now() < end) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) {
        ended = true;
        break;
      }
      got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }
  bool ended = false;

 private:
  int fd_;
};

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
