#include "controller/port_access.h"

namespace vireo {

std::optional<PortAccessMessage> PortAccessNotice::Take(const std::vector<std::string>& denied) {
  if (said_ || denied.empty()) return std::nullopt;
  said_ = true;
  std::string ports;
  for (const std::string& port : denied) ports.append(ports.empty() ? "" : ", ").append(port);
  return PortAccessMessage{ports + " denied: sudo usermod -aG dialout $USER, log in again",
                           "No permission to open " + ports +
                               " (your user is not in the dialout group): run sudo usermod -aG dialout $USER, "
                               "then log out and in again."};
}

}  // namespace vireo
