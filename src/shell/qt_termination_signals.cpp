#include "shell/qt_termination_signals.h"

#include <csignal>
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vireo {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
volatile std::sig_atomic_t writeSocket = -1;

void WriteSignalNumber(int number) {
  const int saved = errno;
  const char byte = static_cast<char>(number);
  // A full socket means requests are already waiting: this one may be lost.
  [[maybe_unused]] const ssize_t written = ::write(writeSocket, &byte, 1);
  errno = saved;
}

const char* SignalName(int number) {
  switch (number) {
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "SIGINT";
  }
}

}  // namespace

QtTerminationSignals::QtTerminationSignals() {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets_.data()) != 0) return;
  ::fcntl(sockets_[0], F_SETFL, O_NONBLOCK);
  ::fcntl(sockets_[1], F_SETFL, O_NONBLOCK);
  notifier_ = std::make_unique<QSocketNotifier>(sockets_[1], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &QtTerminationSignals::ReadSignal);
}

QtTerminationSignals::~QtTerminationSignals() {
  for (int number : kSignals) std::signal(number, SIG_DFL);
  writeSocket = -1;
  notifier_.reset();
  for (int socket : sockets_) {
    if (socket >= 0) ::close(socket);
  }
}

void QtTerminationSignals::Listen(Handler handler) {
  handler_ = std::move(handler);
  if (sockets_[0] < 0) return;
  writeSocket = sockets_[0];
  struct sigaction action {};
  action.sa_handler = WriteSignalNumber;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int number : kSignals) ::sigaction(number, &action, nullptr);
}

void QtTerminationSignals::ReadSignal() {
  char byte = 0;
  while (::read(sockets_[1], &byte, 1) == 1) {
    if (handler_) handler_(SignalName(byte));
  }
}

}  // namespace vireo
