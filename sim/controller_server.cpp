#include "sim/controller_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <system_error>

#include "sim/controller_model.h"

namespace vireo::sim {

namespace {

constexpr int kPollMs = 10;
// After a stall (the process was stopped) the controller does not race to
// catch up: at most this much real time counts per round.
constexpr double kMaxRoundMs = 1000.0;
// Replies kept while the program does not read; beyond this, new replies are
// dropped whole rather than blocking the server.
constexpr std::size_t kMaxPending = 64 * 1024;

// Sends what the pseudo-terminal takes; the transcript gets exactly those bytes.
void WriteSome(int fd, std::string& pending, std::FILE* transcript) {
  while (!pending.empty()) {
    const ssize_t n = ::write(fd, pending.data(), pending.size());
    if (n <= 0) return;  // full (EAGAIN) or gone: try again next round
    if (transcript) {
      std::fwrite(pending.data(), 1, static_cast<std::size_t>(n), transcript);
      std::fflush(transcript);
    }
    pending.erase(0, static_cast<std::size_t>(n));
  }
}

}  // namespace

ControllerServer::ControllerServer(const ControllerConfig& config) : config_(config) {}

ControllerServer::~ControllerServer() { Stop(); }

bool ControllerServer::Start() {
  std::lock_guard lock(mutex_);
  if (thread_.joinable()) {
    lastError_ = "The simulated controller is already running";
    return false;
  }
  if (!pty_.Open()) {
    lastError_ = "Cannot open a pseudo-terminal for the simulated controller";
    return false;
  }
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    lastError_ = std::system_category().message(errno);
    pty_.Close();
    return false;
  }
  stop_ = false;
  try {
    thread_ = std::thread(&ControllerServer::Serve, this, pty_.MasterFd(), wakeFd_);
  } catch (const std::system_error& e) {
    lastError_ = e.what();
    ::close(wakeFd_);
    wakeFd_ = -1;
    pty_.Close();
    return false;
  }
  lastError_.clear();
  return true;
}

void ControllerServer::Stop() {
  std::lock_guard lock(mutex_);
  if (!thread_.joinable()) return;
  stop_ = true;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
  thread_.join();
  ::close(wakeFd_);
  wakeFd_ = -1;
  pty_.Close();
}

bool ControllerServer::Running() const {
  std::lock_guard lock(mutex_);
  return thread_.joinable();
}

std::string ControllerServer::DevicePath() const {
  std::lock_guard lock(mutex_);
  return thread_.joinable() ? pty_.SlavePath() : std::string();
}

std::string ControllerServer::LastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

void ControllerServer::Serve(int masterFd, int wakeFd) {
  ControllerModel model(config_);
  using Clock = std::chrono::steady_clock;
  auto last = Clock::now();
  double carryMs = 0.0;  // simulated time not yet handed to the model
  std::string pending;   // replies the pseudo-terminal has not taken yet
  char buffer[4096];
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> transcript(
      config_.transcript.empty() ? nullptr : std::fopen(config_.transcript.c_str(), "ab"), &std::fclose);

  while (!stop_) {
    pollfd fds[2] = {{masterFd, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0},
                     {wakeFd, POLLIN, 0}};
    if (::poll(fds, 2, kPollMs) < 0 && errno != EINTR) break;
    if (fds[0].revents & (POLLERR | POLLNVAL)) break;

    const auto now = Clock::now();
    const double realMs = std::chrono::duration<double, std::milli>(now - last).count();
    last = now;
    carryMs += std::min(realMs, kMaxRoundMs) * config_.acceleration;
    const auto advanceMs = static_cast<std::uint32_t>(carryMs);
    carryMs -= advanceMs;
    std::string out = model.Advance(advanceMs);

    if (fds[0].revents & POLLIN) {
      ssize_t n = 0;
      while ((n = ::read(masterFd, buffer, sizeof buffer)) > 0) {
        out += model.Receive(std::string_view(buffer, static_cast<std::size_t>(n)));
      }
    }
    if (pending.size() + out.size() <= kMaxPending) pending += out;
    WriteSome(masterFd, pending, transcript.get());
  }
}

}  // namespace vireo::sim
