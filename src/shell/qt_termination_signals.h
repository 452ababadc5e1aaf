#pragma once
// The termination signals delivered on the window thread: the handler only
// writes the signal's number into a socket pair (all a signal handler may
// safely do), and a socket notifier reads it in the event loop.

#include <QObject>
#include <QSocketNotifier>
#include <array>
#include <memory>

#include "shell/services.h"

namespace vireo {

class QtTerminationSignals final : public QObject, public TerminationSignals {
 public:
  QtTerminationSignals();
  // The default actions come back; one instance at a time.
  ~QtTerminationSignals() override;
  void Listen(Handler handler) override;

 private:
  void ReadSignal();

  std::array<int, 2> sockets_{-1, -1};  // [0] written by the signal handler, [1] read here
  std::unique_ptr<QSocketNotifier> notifier_;
  Handler handler_;
};

}  // namespace vireo
