#pragma once
#include "shell/services.h"

namespace vireo {

// Lists the system's serial ports (ttyS, ttyUSB, ttyACM, rfcomm) that can be
// opened exclusively now, in search order.
class QtPortLister final : public PortLister {
 public:
  std::vector<std::string> ListPorts() override;
};

}  // namespace vireo
