#include "shell/services.h"

#include <chrono>

namespace vireo {

std::uint32_t SteadyTickSource::Now() const {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(ms.count());
}

}  // namespace vireo
