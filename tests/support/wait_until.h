#pragma once
// Runs the Qt event loop until a condition holds, for tests that talk to real
// serial devices and timers.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

namespace vireo::testing {

// False when `timeoutMs` passed first.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

}  // namespace vireo::testing
