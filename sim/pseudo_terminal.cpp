#include "sim/pseudo_terminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace vireo::sim {

PseudoTerminal::~PseudoTerminal() { Close(); }

bool PseudoTerminal::Open() {
  Close();
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) return false;
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
    Close();
    return false;
  }
  char name[128];
  if (ptsname_r(master_, name, sizeof name) != 0) {
    Close();
    return false;
  }
  slavePath_ = name;
  slaveHold_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slaveHold_ < 0) {
    Close();
    return false;
  }
  termios raw{};
  if (tcgetattr(slaveHold_, &raw) == 0) {
    cfmakeraw(&raw);
    tcsetattr(slaveHold_, TCSANOW, &raw);
  }
  const int flags = fcntl(master_, F_GETFL);
  fcntl(master_, F_SETFL, flags | O_NONBLOCK);
  return true;
}

void PseudoTerminal::ReleaseSlave() {
  if (slaveHold_ >= 0) ::close(slaveHold_);
  slaveHold_ = -1;
}

void PseudoTerminal::Close() {
  ReleaseSlave();
  if (master_ >= 0) ::close(master_);
  master_ = -1;
  slavePath_.clear();
}

}  // namespace vireo::sim
