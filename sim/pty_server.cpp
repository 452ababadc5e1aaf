#include "sim/pty_server.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>
#include <utility>

namespace vireo::sim {

namespace {

constexpr int kPollMs = 10;
// After a stall (the process was stopped) the instrument does not race to
// catch up: at most this much real time counts per round.
constexpr double kMaxRoundMs = 1000.0;
// Bytes kept while the program does not read; beyond this, new output is
// dropped whole rather than blocking the server.
constexpr std::size_t kMaxPending = 64 * 1024;

void WriteSome(int fd, std::string& pending) {
  while (!pending.empty()) {
    const ssize_t n = ::write(fd, pending.data(), pending.size());
    if (n <= 0) return;  // full (EAGAIN) or gone: try again next round
    pending.erase(0, static_cast<std::size_t>(n));
  }
}

}  // namespace

PtyServer::PtyServer(std::string what, double acceleration) : what_(std::move(what)), acceleration_(acceleration) {}

PtyServer::~PtyServer() { Stop(); }

bool PtyServer::Start(SimulatedInstrument instrument) {
  std::lock_guard lock(mutex_);
  if (thread_.joinable()) {
    lastError_ = "The simulated " + what_ + " is already running";
    return false;
  }
  if (!pty_.Open()) {
    lastError_ = "Cannot open a pseudo-terminal for the simulated " + what_;
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
    thread_ = std::thread(&PtyServer::Serve, this, std::move(instrument), pty_.MasterFd(), wakeFd_);
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

void PtyServer::Stop() {
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

bool PtyServer::Running() const {
  std::lock_guard lock(mutex_);
  return thread_.joinable();
}

std::string PtyServer::DevicePath() const {
  std::lock_guard lock(mutex_);
  return thread_.joinable() ? pty_.SlavePath() : std::string();
}

std::string PtyServer::LastError() const {
  std::lock_guard lock(mutex_);
  return lastError_;
}

void PtyServer::Serve(SimulatedInstrument instrument, int masterFd, int wakeFd) {
  using Clock = std::chrono::steady_clock;
  auto last = Clock::now();
  double carryMs = 0.0;  // simulated time not yet handed to the instrument
  std::string pending;   // output the pseudo-terminal has not taken yet
  char buffer[4096];

  while (!stop_) {
    pollfd fds[2] = {{masterFd, static_cast<short>(POLLIN | (pending.empty() ? 0 : POLLOUT)), 0},
                     {wakeFd, POLLIN, 0}};
    if (::poll(fds, 2, kPollMs) < 0 && errno != EINTR) break;
    if (fds[0].revents & (POLLERR | POLLNVAL)) break;

    const auto now = Clock::now();
    const double realMs = std::chrono::duration<double, std::milli>(now - last).count();
    last = now;
    carryMs += std::min(realMs, kMaxRoundMs) * acceleration_;
    const auto advanceMs = static_cast<std::uint32_t>(carryMs);
    carryMs -= advanceMs;
    std::string out = instrument.advance(advanceMs);

    if (fds[0].revents & POLLIN) {
      ssize_t n = 0;
      while ((n = ::read(masterFd, buffer, sizeof buffer)) > 0) {
        out += instrument.receive(std::string_view(buffer, static_cast<std::size_t>(n)));
      }
    }
    if (pending.size() + out.size() <= kMaxPending) pending += out;
    WriteSome(masterFd, pending);
  }
}

}  // namespace vireo::sim
