#pragma once
#include "shell/services.h"

namespace vireo {

// Lists the system's serial ports (ttyS, ttyUSB, ttyACM, rfcomm) that can be
// opened exclusively now, in search order.
class QtPortLister final : public PortLister {
 public:
  std::vector<std::string> ListPorts() override;
  std::vector<std::string> DeniedPorts() const override { return denied_; }

 private:
  std::vector<std::string> denied_;
};

}  // namespace vireo
