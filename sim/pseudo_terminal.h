#pragma once
// A pseudo-terminal pair: the simulated instrument holds the master side, the
// program opens the slave device as if it were a serial port.

#include <string>

namespace vireo::sim {

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // Creates the pair. The slave is put in raw mode and kept open by us, so
  // that the program can close and reopen it (Restart) without the pair
  // hanging up, and so nothing we write is ever echoed back to us.
  bool Open();
  // Closes both sides: the program's open port sees a hang-up.
  void Close();
  // Closes only our hold on the slave; the master stays.
  void ReleaseSlave();

  bool IsOpen() const { return master_ >= 0; }
  int MasterFd() const { return master_; }
  const std::string& SlavePath() const { return slavePath_; }

 private:
  int master_ = -1;
  int slaveHold_ = -1;
  std::string slavePath_;
};

}  // namespace vireo::sim
