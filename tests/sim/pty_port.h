#pragma once
// The program's end of a simulator's pseudo-terminal, with plain POSIX calls.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>

namespace vireo::sim {

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

}  // namespace vireo::sim
